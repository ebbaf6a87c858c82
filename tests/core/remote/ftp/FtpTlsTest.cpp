#include "core/remote/ftp/EngineTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>

namespace tidewell::ftp {
namespace {

using namespace support;
using namespace std::chrono_literals;
using test::Tls;

// The SHA-256 fingerprint as the openssl tool prints it.
std::string ToolFingerprint(const std::filesystem::path& certificate) {
    const auto command = "openssl x509 -noout -fingerprint -sha256 -in " + certificate.string();
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    char line[256] = {};
    if (!pipe || std::fgets(line, sizeof line, pipe.get()) == nullptr) {
        return {};
    }
    std::string text(line);
    const auto equals = text.find('=') + 1;
    return text.substr(equals, text.find_first_of("\r\n") - equals);
}

// A judge that keeps what it was shown.
struct Judge {
    int answer = 1;
    std::vector<CertificateInfo> seen;
    TlsOptions Options(Security security) {
        return {security, [this](const CertificateInfo& info) {
                    seen.push_back(info);
                    return answer > 0 ? CertificateVerdict::AcceptedOnce : CertificateVerdict::Rejected;
                }};
    }
};

struct TransferCase {
    const char* name;
    bool vsftpd;
    Tls tls;
    bool passive;
};

class TlsTransfer : public ::testing::TestWithParam<TransferCase> {};

// Log-in, listing and 5 MB each way, all encrypted (both servers refuse plain
// data, vsftpd a data session not resumed and an upload without a TLS close).
// The self-signed certificate goes to the judge once, as the openssl tool sees it.
TEST_P(TlsTransfer, ListsAndMovesFilesEncrypted) {
    const auto& c = GetParam();
    std::unique_ptr<test::FtpServer> server;
    if (c.vsftpd) {
        server = std::make_unique<test::VsftpdServer>(false, c.tls);
    } else {
        server = std::make_unique<test::PyftpdlibServer>("tls");
    }
    if (!server->Ready() && server->Failure().find("needs root") != std::string::npos) {
        GTEST_SKIP() << server->Failure();
    }
    ASSERT_TRUE(server->Ready()) << server->Failure();
    const auto content = MakeContent(5 * 1024 * 1024, 7);
    server->PutFile("down.bin", content);
    Judge judge;
    auto connection =
        Connect(*server, c.passive, 10s,
                judge.Options(c.tls == Tls::Implicit ? Security::Implicit : Security::Explicit));
    ASSERT_EQ(judge.seen.size(), 1u);
    const auto& info = judge.seen.front();
    EXPECT_EQ(info.problem, "self-signed certificate; the certificate is not for 127.0.0.1"); // both reasons
    EXPECT_EQ(info.subject, "CN = localhost");
    EXPECT_EQ(info.sha256, ToolFingerprint(server->Certificate()));
    EXPECT_THAT(info.notAfter, ::testing::EndsWith(" UTC"));
    ASSERT_TRUE(connection->Encryption());
    EXPECT_EQ(connection->Encryption()->sha256, info.sha256);
    EXPECT_THAT(Names(List(*connection)), ::testing::ElementsAre("down.bin"));
    // Two uploads before the download: a server that takes each session once
    // has issued the next one on the upload's data connection.
    for (unsigned i = 0; i < 2; ++i) {
        Upload(*connection, "up.bin", MakeContent(content.size(), i));
        EXPECT_TRUE(server->ReadFile("up.bin") == MakeContent(content.size(), i));
    }
    EXPECT_TRUE(Download(*connection, "down.bin") == content);
    // A download given up half-way leaves the connection, and a session to resume, usable.
    auto file = connection->OpenFile("down.bin", FtpFile::Access::Read);
    std::string block(kBlock, '\0');
    EXPECT_EQ(file->Read(block.data(), block.size()), block.size());
    file->Close();
    EXPECT_THAT(Names(List(*connection)), ::testing::ElementsAre("down.bin", "up.bin"));
    EXPECT_EQ(judge.seen.size(), 1u) << "data connections are not judged again";
}

INSTANTIATE_TEST_SUITE_P(
    Servers, TlsTransfer,
    ::testing::Values(TransferCase{"VsftpdExplicitPassive", true, Tls::Explicit, true},
                      TransferCase{"VsftpdExplicitActive", true, Tls::Explicit, false},
                      TransferCase{"VsftpdImplicitPassive", true, Tls::Implicit, true},
                      TransferCase{"VsftpdImplicitActive", true, Tls::Implicit, false},
                      TransferCase{"PyftpdlibExplicitActive", false, Tls::Explicit, false},
                      TransferCase{"PyftpdlibExplicitPassive", false, Tls::Explicit, true}),
    [](const auto& info) { return std::string(info.param.name); });

struct ChoiceCase {
    const char* name;
    const char* mode;
    Security security;
    int judge;           // 0: says no
    std::uint32_t error; // 0: logs in
    bool encrypted;
};

class TlsChoice : public ::testing::TestWithParam<ChoiceCase> {};

// What the address asks for against what the server offers; a refusal sends
// no user name or password, and Auto asks for TLS before it logs in whenever
// FEAT offers it, yet logs in plain when the server then refuses AUTH.
TEST_P(TlsChoice, SecuresOrRefusesBeforeTheLogIn) {
    const auto& c = GetParam();
    test::PyftpdlibServer server(c.mode);
    ASSERT_TRUE(server.Ready()) << server.Failure();
    Judge judge{c.judge, {}};
    std::unique_ptr<FtpConnection> connection;
    if (c.error != 0) {
        ExpectFtpError(c.error, [&] { Connect(server, true, 10s, judge.Options(c.security)); });
    } else {
        connection = Connect(server, true, 10s, judge.Options(c.security));
        EXPECT_EQ(connection->Encryption().has_value(), c.encrypted);
    }
    const auto commands = server.ReadFile("../commands.log").value_or("");
    EXPECT_EQ(commands.find("USER") != std::string::npos, c.error == 0) << commands;
    if (c.error == 0) {
        const bool offered = std::string(c.mode) != "record";
        EXPECT_EQ(commands.find("AUTH") < commands.find("USER"), offered) << commands;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Choices, TlsChoice,
    ::testing::Values(
        ChoiceCase{"ExplicitWithoutTls", "record", Security::Explicit, 1, error::kTlsRefused, false},
        ChoiceCase{"JudgeSaysNo", "tls,record", Security::Explicit, 0, error::kCertificateRejected, true},
        ChoiceCase{"AutoWithTls", "tls,record", Security::Auto, 1, 0, true},
        ChoiceCase{"AutoWithoutTls", "record", Security::Auto, 1, 0, false},
        ChoiceCase{"AutoAuthRefused", "auth-refused,record", Security::Auto, 1, 0, false},
        ChoiceCase{"ExplicitAuthRefused", "auth-refused,record", Security::Explicit, 1, error::kTlsRefused,
                   false}),
    [](const auto& info) { return std::string(info.param.name); });

// Without SIZE, only the missing TLS close tells the cut from the end of the file.
TEST(FtpTlsFault, DataCutWithoutTlsCloseIsAnErrorNotAShortFile) {
    test::PyftpdlibServer server("tls,size-500,cut-tls");
    ASSERT_TRUE(server.Ready()) << server.Failure();
    server.PutFile("f.bin", MakeContent(300000));
    Judge judge;
    auto connection = Connect(server, true, 10s, judge.Options(Security::Explicit));
    ExpectFtpError(error::kConnectionLost, [&] { Download(*connection, "f.bin"); });
    std::string here;
    EXPECT_TRUE(connection->GetCurrentDirectory(here)) << "the control connection stays usable";
}

} // namespace
} // namespace tidewell::ftp
