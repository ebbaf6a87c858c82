// The engine against a scripted server that misbehaves on cue.
#include "core/remote/ftp/EngineTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <thread>

namespace tidewell::ftp {
namespace {

using namespace support;
using namespace std::chrono_literals;
using ::testing::HasSubstr;

// Short, so the stalling cases end quickly.
constexpr auto kShortTimeout = 1500ms;

class FaultServer : public ::testing::Test {
protected:
    // Starts the scripted server in `mode`, with a file to fetch.
    void Start(const std::string& mode) {
        server_ = std::make_unique<test::PyftpdlibServer>(mode);
        ASSERT_TRUE(server_->Ready()) << server_->Failure();
        server_->PutFile("data.bin", content_);
    }

    // Reads the whole file, returning the failure it ended with (or none).
    std::optional<FtpException> DownloadFailure(FtpConnection& connection,
                                                std::optional<std::uint64_t> listedSize = std::nullopt) {
        try {
            auto file = connection.OpenFile("data.bin", FtpFile::Access::Read, listedSize);
            char buffer[kBlock];
            while (file->Read(buffer, sizeof buffer) == sizeof buffer) {
            }
            file->Close();
        } catch (const FtpException& failure) {
            return failure;
        }
        return std::nullopt;
    }

    const std::string content_ = MakeContent(200000, 9);
    std::unique_ptr<test::PyftpdlibServer> server_;
};

// Every reply multi-line, with continuation lines that look like ends: the
// path of PWD, the size of SIZE and EPSV's port all sit on later lines.
TEST_F(FaultServer, MultiLineRepliesWithOddContinuationLines) {
    Start("multiline");
    std::string here;
    for (const bool passive : {false, true}) {
        auto connection = Connect(*server_, passive, kShortTimeout);
        EXPECT_TRUE(connection->GetCurrentDirectory(here) && here == "/") << here;
        EXPECT_TRUE(Download(*connection, "data.bin") == content_) << (passive ? "passive" : "active");
    }
}

// Faults a transfer must get round: a refused or silent PORT falls back to
// passive for the rest of the connection, a foreign PASV address is replaced
// by the server's own, a passive port that refuses makes the other passive
// command be tried (EPSV then PASV for the download, PASV then EPSV for the upload).
TEST_F(FaultServer, DataConnectionFaultsAreWorkedRound) {
    for (const auto& [mode, passive] : {std::pair{"port-refused", false},
                                        {"port-silent", false},
                                        {"pasv-foreign", true},
                                        {"passive-flaky", true}}) {
        SCOPED_TRACE(mode);
        Start(mode);
        auto connection = Connect(*server_, passive, kShortTimeout);
        EXPECT_TRUE(Download(*connection, "data.bin") == content_);
        EXPECT_TRUE(connection->UsesPassive());
        Upload(*connection, "up.bin", content_);
        EXPECT_EQ(server_->ReadFile("up.bin"), content_);
        std::string here;
        EXPECT_TRUE(connection->GetCurrentDirectory(here)) << "the replies got out of step";
    }
}

// Downloads that must end in an error, never in a short file taken for whole.
TEST_F(FaultServer, BrokenDownloadsThrowAndLeaveTheControlConnectionUsable) {
    // Mode, passive, the codes allowed, what the error's text holds, the listed size.
    const std::tuple<const char*, bool, std::vector<std::uint32_t>, const char*, std::optional<std::uint64_t>>
        cases[] = {
            {"drop-retr", false, {error::kConnectionLost, error::kErrorReply}, "", {}},
            {"drop-retr", true, {error::kConnectionLost, error::kErrorReply}, "", {}},
            {"final-451", false, {error::kErrorReply}, "451", {}},
            // No FEAT: SIZE is asked all the same.
            {"feat-500,short-226", true, {error::kConnectionLost}, "(SIZE)", {}},
            {"size-500,announce-more", true, {error::kConnectionLost}, "150 reply", {}},
            {"normal", false, {error::kErrorReply}, "the listing gave 199999", 199999},
            {"stall-data", true, {error::kTimeout}, "", {}},
            {"passive-closed", true, {error::kCannotConnect}, "no passive data connection", {}},
        };
    for (const auto& [mode, passive, codes, text, listedSize] : cases) {
        SCOPED_TRACE(std::string(mode) + (passive ? " passive" : " active"));
        Start(mode);
        auto connection = Connect(*server_, passive, kShortTimeout);
        const auto failure = DownloadFailure(*connection, listedSize);
        ASSERT_TRUE(failure) << "a broken download was reported as complete";
        EXPECT_THAT(codes, ::testing::Contains(failure->ErrorCode())) << failure->what();
        EXPECT_THAT(failure->ServerReply(), HasSubstr(text));
        std::string here;
        EXPECT_EQ(connection->GetCurrentDirectory(here), codes[0] != error::kTimeout)
            << "only a timeout costs the control connection";
    }
    Start("size-500");
    auto connection = Connect(*server_, false, kShortTimeout);
    EXPECT_FALSE(DownloadFailure(*connection, content_.size())) << "the right listed size is no fault";
}

// A download given up half-way leaves no reply behind to answer a later command:
// not when the server takes the data connection only after answering RETR
// (reset before that, it would never answer for the transfer), not when it
// sends a reply nobody asked for after the transfer's own, not when it answers
// the reset with a second preliminary reply and keeps its final one for ABOR.
TEST_F(FaultServer, AbandonedDownloadsLeaveTheRepliesInStep) {
    const std::tuple<const char*, const char*, bool> cases[] = {{"slow-accept", "data.bin", false},
                                                                {"late-426", "data.bin", true},
                                                                {"abort-stats", "endless.bin", true}};
    for (const auto& [mode, name, readFirst] : cases) {
        SCOPED_TRACE(mode);
        Start(mode);
        server_->PutFile("small.bin", "small");
        server_->PutFile("endless.bin", "x");
        // The default timeout: the abandon path's grace must outlast the slow accept.
        auto connection = Connect(*server_, true);
        {
            auto file = connection->OpenFile(name, FtpFile::Access::Read);
            char buffer[kBlock];
            if (readFirst) {
                EXPECT_EQ(file->Read(buffer, sizeof buffer), sizeof buffer);
            }
        }
        if (mode == std::string("late-426")) {
            // Waited for, up to ten seconds.
            const auto marker = server_->Root().parent_path() / "late-426-sent";
            const auto deadline = std::chrono::steady_clock::now() + 10s;
            while (!std::filesystem::exists(marker) && std::chrono::steady_clock::now() < deadline) {
                std::this_thread::sleep_for(10ms);
            }
            ASSERT_TRUE(std::filesystem::exists(marker)) << "the server never sent its late reply";
        }
        std::string here;
        EXPECT_TRUE(connection->GetCurrentDirectory(here)) << connection->LastReply();
        EXPECT_EQ(Download(*connection, "small.bin"), "small");
        EXPECT_THAT(Names(List(*connection)), ::testing::Contains("small.bin"));
    }
}

// "LIST -a" asks for hidden entries (pyftpdlib takes the option); a server that
// refuses it is listed with a plain LIST, and not asked again on the connection.
TEST_F(FaultServer, ListingFallsBackToPlainListWhenTheOptionIsRefused) {
    for (const auto& [mode, sent] : {std::pair{"feat-500,record", "LIST -a,LIST -a,"},
                                     {"feat-500,record,list-a-501", "LIST -a,LIST,LIST,"},
                                     {"feat-500,record,list-a-550", "LIST -a,LIST,LIST,"}}) {
        SCOPED_TRACE(mode);
        Start(mode);
        auto connection = Connect(*server_, true, kShortTimeout);
        for (int i = 0; i < 2; ++i) {
            EXPECT_THAT(Names(List(*connection)), ::testing::ElementsAre("data.bin"));
        }
        std::istringstream log(server_->ReadFile("../commands.log").value_or(""));
        std::string lists;
        for (std::string line; std::getline(log, line);) {
            lists += line.starts_with("LIST") ? line + "," : "";
        }
        EXPECT_EQ(lists, sent);
    }
}

TEST_F(FaultServer, RefusalAfterAnUploadMakesCloseThrow) {
    Start("stor-552");
    auto connection = Connect(*server_, true, kShortTimeout);
    auto file = connection->OpenFile("up.bin", FtpFile::Access::Write);
    file->Write(content_.data(), content_.size());
    EXPECT_TRUE(file->Flush());
    EXPECT_THAT(ExpectFtpError(error::kErrorReply, [&] { file->Close(); }), ::testing::StartsWith("552"));
}

TEST_F(FaultServer, SilentRefusingOrForeignGreetingsFailTheConnect) {
    const std::tuple<const char*, std::uint32_t, const char*> cases[] = {
        {"stall-greeting", error::kTimeout, ""},
        {"busy-greeting", error::kErrorReply, "421"},
        {"junk-greeting", error::kErrorReply, ""},
        {"nul-login", error::kErrorReply, ""}, // a reply line with a NUL is malformed
    };
    for (const auto& [mode, code, reply] : cases) {
        SCOPED_TRACE(mode);
        Start(mode);
        EXPECT_THAT(ExpectFtpError(code, [&] { Connect(*server_, false, kShortTimeout); }),
                    ::testing::StartsWith(reply));
    }
}

// A reply that never comes, never ends a line or never ends at all closes the
// connection: a late reply would otherwise answer the next command.
TEST_F(FaultServer, UnansweredOverlongAndEndlessRepliesCloseTheConnection) {
    for (const std::string mode : {"stall-reply", "long-line", "endless-reply"}) {
        SCOPED_TRACE(mode);
        Start(mode);
        auto connection = Connect(*server_, false, kShortTimeout);
        std::string here;
        EXPECT_FALSE(connection->GetCurrentDirectory(here));
        EXPECT_FALSE(connection->IsConnected());
        ExpectFtpError(error::kConnectionLost,
                       [&] { connection->OpenFile("data.bin", FtpFile::Access::Read); });
    }
}

// A listing that fails is told apart from an empty directory, with its reason.
TEST_F(FaultServer, FailedListingsAreNoEmptyDirectory) {
    const std::tuple<const char*, const char*, FtpFileFind::Result, std::uint32_t, const char*> cases[] = {
        {"normal", "/", FtpFileFind::Result::Found, 0, ""},
        {"normal", "/empty", FtpFileFind::Result::Nothing, 0, ""},
        {"list-550", "/", FtpFileFind::Result::Failed, error::kErrorReply, "550 Permission denied."},
        {"binary-listing", "/", FtpFileFind::Result::Failed, error::kErrorReply, "not text"},
        {"stall-list", "/", FtpFileFind::Result::Failed, error::kTimeout, ""},
    };
    for (const auto& [mode, directory, result, code, text] : cases) {
        SCOPED_TRACE(mode);
        Start(mode);
        server_->PutDirectory("empty");
        auto connection = Connect(*server_, true, kShortTimeout);
        ASSERT_TRUE(connection->SetCurrentDirectory(directory));
        FtpFileFind find(*connection);
        EXPECT_EQ(find.FindFile(), result == FtpFileFind::Result::Found);
        find.Close(); // keeps what FindFile came to
        EXPECT_EQ(find.LastResult(), result);
        ASSERT_EQ(find.LastFailure().has_value(), code != 0);
        if (code != 0) {
            EXPECT_EQ(find.LastFailure()->ErrorCode(), code);
            EXPECT_THAT(find.LastFailure()->ServerReply(), HasSubstr(text));
        }
        // Only a timed-out listing costs the connection.
        EXPECT_EQ(connection->IsConnected(), code != error::kTimeout);
    }
}

} // namespace
} // namespace tidewell::ftp
