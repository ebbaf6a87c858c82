#include "core/remote/RemoteSession.h"

#include "core/remote/ScriptedWindow.h"
#include "fixtures/FtpServers.h"
#include "core/remote/ftp/FtpSession.h"

#include <gtest/gtest.h>

#include <iostream>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tidewell {
namespace {

constexpr const char* kBadAddress = "Can't connect to FTP server - check the FTP address";
constexpr const char* kNoServer = "Can't connect to the FTP server";

// A loopback port nobody listens on.
std::uint16_t ClosedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

class RemoteSessionTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        server_ = test::StartServer(GetParam() ? test::ServerKind::Vsftpd : test::ServerKind::Pyftpdlib);
        ASSERT_TRUE(server_->Ready()) << server_->Failure();
        const auto& address = server_->Address();
        window_.fields = {address.host + ":" + std::to_string(address.port), address.user, address.password,
                          ""};
        window_.listingConnection = &connection_;
    }

    std::unique_ptr<test::FtpServer> server_;
    ftp::FtpSession ftpSession_{std::chrono::seconds(10)};
    std::unique_ptr<ftp::FtpConnection> connection_;
    bool connected_ = false;
    std::string currentRemoteDir_;
    test::ScriptedWindow window_;
    RemoteSession session_{{ftpSession_, connection_, connected_, currentRemoteDir_}, window_};
};

// The window's log-in, listing and navigation are covered through the window
// itself; here only what the session offers beyond it.
TEST_P(RemoteSessionTest, SilentConnectShowsNothing) {
    window_.fields.password = "wrong";
    EXPECT_FALSE(session_.Connect(false));
    EXPECT_TRUE(window_.Messages().empty());
    window_.fields.password = server_->Address().password;
    window_.fields.directory = "/not/there";
    EXPECT_FALSE(session_.Connect(false));
    EXPECT_TRUE(window_.Messages().empty());
    EXPECT_FALSE(window_.directoryFocused);
    window_.fields.directory.clear();
    EXPECT_TRUE(session_.Connect(false));
    EXPECT_TRUE(connected_);
    session_.Disconnect();
    session_.Disconnect(); // twice is harmless
    EXPECT_EQ(connection_, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Servers, RemoteSessionTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "vsftpd" : "pyftpdlib"; });

TEST(ConnectFailure, EachCauseHasItsMessageAndLeavesTheListEmpty) {
    std::vector<std::pair<std::string, const char*>> cases = {
        {"nonexistent.invalid", kBadAddress},
        {"127.0.0.1:99999", kBadAddress}, // unreadable port
        {"127.0.0.1:" + std::to_string(ClosedPort()), kNoServer},
    };
    if (test::Ipv6LoopbackAvailable()) {
        cases.emplace_back("[::1]:" + std::to_string(ClosedPort()), kNoServer);
    } else {
        std::cout << "[   NOTE   ] no IPv6 loopback on this machine; the [::1] case did not run\n";
    }
    for (const auto& [address, text] : cases) {
        SCOPED_TRACE(address);
        ftp::FtpSession ftpSession{std::chrono::seconds(5)};
        std::unique_ptr<ftp::FtpConnection> connection;
        bool connected = false;
        std::string currentRemoteDir;
        test::ScriptedWindow window;
        RemoteSession session{{ftpSession, connection, connected, currentRemoteDir}, window};
        window.fields = {address, "user", "password", ""};
        session.ChangeDirectory();
        const auto messages = window.Messages();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, text);
        EXPECT_EQ(messages[0].caption, "FTP Error");
        EXPECT_FALSE(connected);
        EXPECT_EQ(window.listingsStarted, 0);
        EXPECT_GE(window.listCleared, 1);
    }
}

} // namespace
} // namespace tidewell
