// The engine against a scripted server that misbehaves on cue.
#include "core/remote/ftp/EngineTestSupport.h"

#include "core/remote/ftp/FtpException.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tidewell::ftp {
namespace {

using namespace support;
using namespace std::chrono_literals;

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
    std::optional<FtpException> DownloadFailure(FtpConnection& connection) {
        try {
            auto file = connection.OpenFile("data.bin", FtpFile::Access::Read);
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

TEST_F(FaultServer, MultiLineRepliesWithOddContinuationLines) {
    Start("multiline");
    auto connection = Connect(*server_, false, kShortTimeout);
    std::string here;
    ASSERT_TRUE(connection->GetCurrentDirectory(here));
    EXPECT_EQ(here, "/");
    EXPECT_TRUE(connection->CreateDirectory("made"));
    EXPECT_TRUE(connection->SetCurrentDirectory("made"));
    EXPECT_TRUE(connection->SetCurrentDirectory(".."));
    EXPECT_TRUE(Download(*connection, "data.bin") == content_);
    auto passive = Connect(*server_, true, kShortTimeout);
    EXPECT_TRUE(Download(*passive, "data.bin") == content_)
        << "EPSV's port on the last line of a multi-line reply";
}

// Faults a transfer must get round: a refused or silent PORT falls back to
// passive for the rest of the connection, a foreign PASV address is replaced
// by the server's own.
TEST_F(FaultServer, DataConnectionFaultsAreWorkedRound) {
    for (const auto& [mode, passive] :
         {std::pair{"port-refused", false}, {"port-silent", false}, {"pasv-foreign", true}}) {
        SCOPED_TRACE(mode);
        Start(mode);
        auto connection = Connect(*server_, passive, kShortTimeout);
        EXPECT_EQ(connection->UsesPassive(), passive);
        EXPECT_TRUE(Download(*connection, "data.bin") == content_);
        EXPECT_TRUE(connection->UsesPassive());
        Upload(*connection, "up.bin", content_);
        EXPECT_EQ(server_->ReadFile("up.bin"), content_);
        EXPECT_THAT(Names(List(*connection)), ::testing::Contains("data.bin"));
        std::string here;
        EXPECT_TRUE(connection->GetCurrentDirectory(here)) << "the replies got out of step";
        EXPECT_EQ(here, "/");
    }
}

// Downloads that must end in an error, never in a short file taken for whole.
TEST_F(FaultServer, BrokenDownloadsThrowAndLeaveTheControlConnectionUsable) {
    struct Case {
        const char* mode;
        bool passive;
        std::vector<std::uint32_t> codes;
        const char* reply; // the server text the error must carry, if any
    };
    const Case cases[] = {
        {"drop-retr", false, {error::kConnectionLost, error::kErrorReply}, ""},
        {"drop-retr", true, {error::kConnectionLost, error::kErrorReply}, ""},
        {"final-451", false, {error::kErrorReply}, "451"},
        {"short-226", true, {error::kConnectionLost}, ""},
        {"stall-data", true, {error::kTimeout}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.mode) + (c.passive ? " passive" : " active"));
        Start(c.mode);
        auto connection = Connect(*server_, c.passive, kShortTimeout);
        const auto failure = DownloadFailure(*connection);
        ASSERT_TRUE(failure) << "a broken download was reported as complete";
        EXPECT_THAT(c.codes, ::testing::Contains(failure->ErrorCode())) << failure->what();
        if (*c.reply != '\0') {
            EXPECT_EQ(failure->ServerReply().substr(0, 3), c.reply);
        }
        if (std::string(c.mode) != "stall-data") {
            std::string here;
            EXPECT_TRUE(connection->GetCurrentDirectory(here)) << "the control connection did not survive";
        }
    }
}

TEST_F(FaultServer, RefusalAfterAnUploadMakesCloseThrow) {
    Start("stor-552");
    auto connection = Connect(*server_, true, kShortTimeout);
    auto file = connection->OpenFile("up.bin", FtpFile::Access::Write);
    file->Write(content_.data(), content_.size());
    EXPECT_TRUE(file->Flush());
    try {
        file->Close();
        FAIL() << "an upload the server refused was reported as stored";
    } catch (const FtpException& failure) {
        EXPECT_EQ(failure.ErrorCode(), error::kErrorReply);
        EXPECT_EQ(failure.ServerReply().substr(0, 3), "552");
    }
}

TEST_F(FaultServer, SilentRefusingOrForeignGreetingsFailTheConnect) {
    const std::tuple<const char*, std::uint32_t, const char*> cases[] = {
        {"stall-greeting", error::kTimeout, ""},
        {"busy-greeting", error::kErrorReply, "421"},
        {"junk-greeting", error::kErrorReply, ""},
    };
    for (const auto& [mode, code, reply] : cases) {
        SCOPED_TRACE(mode);
        Start(mode);
        try {
            Connect(*server_, false, kShortTimeout);
            ADD_FAILURE() << "connected although the server did not greet";
        } catch (const FtpException& failure) {
            EXPECT_EQ(failure.ErrorCode(), code);
            if (*reply != '\0') {
                EXPECT_EQ(failure.ServerReply().substr(0, 3), reply);
            }
        }
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
        EXPECT_TRUE(here.empty());
        EXPECT_FALSE(connection->IsConnected());
        EXPECT_FALSE(connection->SetCurrentDirectory("/"));
        try {
            connection->OpenFile("data.bin", FtpFile::Access::Read);
            ADD_FAILURE() << "opened a file on a dead connection";
        } catch (const FtpException& failure) {
            EXPECT_EQ(failure.ErrorCode(), error::kConnectionLost);
        }
    }
}

TEST_F(FaultServer, BinaryListingFindsNothing) {
    Start("binary-listing");
    auto connection = Connect(*server_, true, kShortTimeout);
    FtpFileFind find(*connection);
    EXPECT_FALSE(find.FindFile());
    EXPECT_FALSE(find.FindNextFile());
    EXPECT_EQ(find.GetFileName(), "");
    std::string here;
    EXPECT_TRUE(connection->GetCurrentDirectory(here)) << "the connection stays usable";
}

} // namespace
} // namespace tidewell::ftp
