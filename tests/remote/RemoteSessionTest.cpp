#include "remote/RemoteSession.h"

#include "ScriptedWindow.h"
#include "fixtures/FtpServers.h"
#include "remote/ListingWorker.h"
#include "remote/ftp/FtpSession.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tidewell {
namespace {

constexpr const char* kWrongLogin = "Can't connect to FTP server - check the FTP username/password";
constexpr const char* kBadAddress = "Can't connect to FTP server - check the FTP address";
constexpr const char* kNoServer = "Can't connect to the FTP server";
constexpr const char* kBadStartDir = "Directory is not contained on the FTP server - check the Directory";
constexpr const char* kBadDir =
    "Directory is not contained on the FTP server, or the FTP server cannot be contacted";

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

std::vector<std::string> Names(const ListingResult& result) {
    std::vector<std::string> names;
    for (const auto& row : result.rows) {
        names.push_back(row.name);
    }
    return names;
}

class RemoteSessionTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        if (GetParam()) {
            server_ = std::make_unique<test::VsftpdServer>();
        } else {
            server_ = std::make_unique<test::PyftpdlibServer>();
        }
        ASSERT_TRUE(server_->Ready()) << server_->Failure();
        const auto& address = server_->Address();
        window_.fields = {address.host + ":" + std::to_string(address.port), address.user, address.password,
                          ""};
        window_.listingConnection = &connection_;
        server_->PutDirectory("pub");
        server_->PutDirectory("pub/incoming");
        server_->PutFile("pub/readme.txt", "hello");
        server_->PutFile("top.bin", std::string(2048, 'x'));
    }

    void ChangeDirectory() { session_.ChangeDirectory(); }

    std::string LoginDir() const { return GetParam() ? server_->Root().string() : "/"; }

    void ExpectOneMessage(const char* text) {
        const auto messages = window_.Messages();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, text);
        EXPECT_EQ(messages[0].caption, "FTP Error");
        EXPECT_EQ(messages[0].icon, MessageIcon::Stop);
        EXPECT_EQ(messages[0].buttons, MessageButtons::Ok);
    }

    std::unique_ptr<test::FtpServer> server_;
    ftp::FtpSession ftpSession_{std::chrono::seconds(10)};
    std::unique_ptr<ftp::FtpConnection> connection_;
    bool connected_ = false;
    std::string currentRemoteDir_;
    test::ScriptedWindow window_;
    RemoteSession session_{{ftpSession_, connection_, connected_, currentRemoteDir_}, window_};
};

TEST_P(RemoteSessionTest, FirstLoginWithEmptyDirectoryListsTheLoginDirectory) {
    ChangeDirectory();
    EXPECT_TRUE(window_.Messages().empty());
    ASSERT_TRUE(connected_);
    EXPECT_EQ(currentRemoteDir_, LoginDir());
    EXPECT_EQ(window_.site.directory, LoginDir());
    EXPECT_EQ(window_.fields.directory, LoginDir());
    ASSERT_EQ(window_.listingsStarted, 1);
    const auto listing = window_.LastListing();
    ASSERT_TRUE(listing.has_value());
    EXPECT_EQ(Names(*listing), (std::vector<std::string>{"..", "pub", "top.bin"}));
    // The worker's own steps, in order.
    EXPECT_EQ(window_.Events(),
              (std::vector<std::string>{"busy", std::string("file name ") + kListingWaitText, "listing"}));
}

TEST_P(RemoteSessionTest, StartDirectoryIsEnteredAndListed) {
    window_.fields.directory = LoginDir() + (GetParam() ? "/pub" : "pub");
    ChangeDirectory();
    EXPECT_TRUE(window_.Messages().empty());
    ASSERT_TRUE(window_.LastListing().has_value());
    EXPECT_EQ(Names(*window_.LastListing()), (std::vector<std::string>{"..", "incoming", "readme.txt"}));
}

TEST_P(RemoteSessionTest, RefusedDirectoryWhileConnectedKeepsTheConnectionAndRestoresTheField) {
    ChangeDirectory();
    ASSERT_TRUE(connected_);
    window_.fields.directory = "/no/such/place";
    ChangeDirectory();
    ExpectOneMessage(kBadDir);
    EXPECT_TRUE(connected_);
    EXPECT_EQ(window_.fields.directory, LoginDir());
    EXPECT_EQ(window_.site.directory, LoginDir());
    EXPECT_EQ(window_.listingsStarted, 1); // no listing for the refused one
}

TEST_P(RemoteSessionTest, HomeFromASubdirectoryLandsInTheLoginDirectory) {
    window_.fields.directory = LoginDir() + (GetParam() ? "/pub/incoming" : "pub/incoming");
    ChangeDirectory();
    ASSERT_TRUE(connected_);
    window_.fields.directory.clear(); // what Home does to the field
    ChangeDirectory();
    EXPECT_TRUE(window_.Messages().empty());
    EXPECT_EQ(window_.fields.directory, LoginDir());
    EXPECT_EQ(window_.listingsStarted, 2);
    EXPECT_EQ(Names(*window_.LastListing()), (std::vector<std::string>{"..", "pub", "top.bin"}));
}

TEST_P(RemoteSessionTest, RefusedStartDirectoryClosesTheConnectionAndFocusesTheField) {
    window_.fields.directory = "/not/there";
    ChangeDirectory();
    ExpectOneMessage(kBadStartDir);
    EXPECT_FALSE(connected_);
    EXPECT_EQ(connection_, nullptr);
    EXPECT_TRUE(window_.directoryFocused);
    EXPECT_EQ(window_.fields.directory, "/not/there");
    EXPECT_EQ(window_.listingsStarted, 0);
}

TEST_P(RemoteSessionTest, WrongPasswordSaysSoAndEmptiesTheList) {
    window_.fields.password = "wrong";
    ChangeDirectory();
    ExpectOneMessage(kWrongLogin);
    EXPECT_FALSE(connected_);
    EXPECT_GE(window_.listCleared, 1);
    EXPECT_EQ(window_.listingsStarted, 0);
    EXPECT_EQ(window_.fields.password, "wrong"); // the pane keeps what was typed
}

TEST_P(RemoteSessionTest, SilentConnectShowsNothing) {
    window_.fields.password = "wrong";
    EXPECT_FALSE(session_.Connect(false));
    EXPECT_TRUE(window_.Messages().empty());
    window_.fields.password = server_->Address().password;
    window_.fields.directory = "/not/there";
    EXPECT_FALSE(session_.Connect(false));
    EXPECT_TRUE(window_.Messages().empty());
    EXPECT_FALSE(window_.directoryFocused);
}

TEST_P(RemoteSessionTest, LogoutThenLoginMakesANewConnection) {
    ChangeDirectory();
    ASSERT_TRUE(connected_);
    const ftp::FtpConnection* first = connection_.get();
    session_.Disconnect();
    EXPECT_FALSE(connected_);
    EXPECT_EQ(connection_, nullptr);
    session_.Disconnect(); // twice is harmless
    ChangeDirectory();
    ASSERT_TRUE(connected_);
    ASSERT_NE(connection_, nullptr);
    EXPECT_TRUE(connection_->IsConnected());
    EXPECT_EQ(window_.listingsStarted, 2);
    (void)first;
}

INSTANTIATE_TEST_SUITE_P(Servers, RemoteSessionTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "vsftpd" : "pyftpdlib"; });

// Failures that need no server.
class ConnectFailureTest : public ::testing::Test {
protected:
    void Try(const std::string& address) {
        window_.fields = {address, "user", "password", ""};
        session_.ChangeDirectory();
    }

    void ExpectMessage(const char* text) {
        const auto messages = window_.Messages();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, text);
        EXPECT_EQ(messages[0].caption, "FTP Error");
        EXPECT_FALSE(connected_);
        EXPECT_EQ(window_.listingsStarted, 0);
        EXPECT_GE(window_.listCleared, 1);
    }

    ftp::FtpSession ftpSession_{std::chrono::seconds(5)};
    std::unique_ptr<ftp::FtpConnection> connection_;
    bool connected_ = false;
    std::string currentRemoteDir_;
    test::ScriptedWindow window_;
    RemoteSession session_{{ftpSession_, connection_, connected_, currentRemoteDir_}, window_};
};

TEST_F(ConnectFailureTest, UnknownHost) {
    Try("nonexistent.invalid");
    ExpectMessage(kBadAddress);
}

TEST_F(ConnectFailureTest, UnreadablePortIsReportedAsABadAddress) {
    Try("127.0.0.1:99999");
    ExpectMessage(kBadAddress);
}

TEST_F(ConnectFailureTest, ClosedPort) {
    Try("127.0.0.1:" + std::to_string(ClosedPort()));
    ExpectMessage(kNoServer);
}

TEST_F(ConnectFailureTest, ClosedPortOnIpv6Loopback) {
    if (!test::Ipv6LoopbackAvailable()) {
        GTEST_SKIP() << "no IPv6 loopback on this machine";
    }
    Try("[::1]:" + std::to_string(ClosedPort()));
    ExpectMessage(kNoServer);
}

} // namespace
} // namespace tidewell
