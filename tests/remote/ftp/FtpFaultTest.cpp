// The engine against a scripted server that misbehaves on cue.
#include "EngineTestSupport.h"

#include "remote/ftp/FtpException.h"

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

TEST_F(FaultServer, RefusedPortFallsBackToPassiveForTheRestOfTheConnection) {
    Start("port-refused");
    auto connection = Connect(*server_, false, kShortTimeout);
    EXPECT_FALSE(connection->UsesPassive());
    EXPECT_TRUE(Download(*connection, "data.bin") == content_);
    EXPECT_TRUE(connection->UsesPassive());
    Upload(*connection, "up.bin", content_);
    EXPECT_EQ(server_->ReadFile("up.bin"), content_);
    EXPECT_FALSE(List(*connection).empty());
}

TEST_F(FaultServer, ActiveDataConnectionThatNeverArrivesFallsBackToPassive) {
    Start("port-silent");
    auto connection = Connect(*server_, false, kShortTimeout);
    EXPECT_TRUE(Download(*connection, "data.bin") == content_);
    EXPECT_TRUE(connection->UsesPassive());
    std::string here;
    EXPECT_TRUE(connection->GetCurrentDirectory(here)) << "the replies got out of step";
    EXPECT_EQ(here, "/");
}

TEST_F(FaultServer, PassiveReplyNamingAnotherHostConnectsToThePeer) {
    Start("pasv-foreign");
    auto connection = Connect(*server_, true, kShortTimeout);
    EXPECT_TRUE(Download(*connection, "data.bin") == content_);
    EXPECT_THAT(Names(List(*connection)), ::testing::Contains("data.bin"));
}

TEST_F(FaultServer, DataConnectionResetMidTransferThrows) {
    Start("drop-retr");
    for (const bool passive : {false, true}) {
        SCOPED_TRACE(passive ? "passive" : "active");
        auto connection = Connect(*server_, passive, kShortTimeout);
        const auto failure = DownloadFailure(*connection);
        ASSERT_TRUE(failure) << "a cut-off download was reported as complete";
        EXPECT_TRUE(failure->ErrorCode() == error::kConnectionLost ||
                    failure->ErrorCode() == error::kErrorReply)
            << failure->what();
        std::string here;
        EXPECT_TRUE(connection->GetCurrentDirectory(here)) << "the control connection did not survive";
    }
}

TEST_F(FaultServer, ErrorReplyAfterAllTheDataIsAFailure) {
    Start("final-451");
    auto connection = Connect(*server_, false, kShortTimeout);
    const auto failure = DownloadFailure(*connection);
    ASSERT_TRUE(failure) << "451 after the data was taken for success";
    EXPECT_EQ(failure->ErrorCode(), error::kErrorReply);
    EXPECT_EQ(failure->ServerReply().substr(0, 3), "451");
    std::string here;
    EXPECT_TRUE(connection->GetCurrentDirectory(here));
}

TEST_F(FaultServer, TransferShorterThanTheAnnouncedSizeIsAFailure) {
    Start("short-226");
    auto connection = Connect(*server_, true, kShortTimeout);
    const auto failure = DownloadFailure(*connection);
    ASSERT_TRUE(failure) << "half a file with 226 was taken for the whole";
    EXPECT_EQ(failure->ErrorCode(), error::kConnectionLost);
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

TEST_F(FaultServer, SilentGreetingTimesOut) {
    Start("stall-greeting");
    try {
        Connect(*server_, false, kShortTimeout);
        FAIL() << "connected to a server that never greeted";
    } catch (const FtpException& failure) {
        EXPECT_EQ(failure.ErrorCode(), error::kTimeout);
    }
}

TEST_F(FaultServer, StalledDataTimesOut) {
    Start("stall-data");
    auto connection = Connect(*server_, true, kShortTimeout);
    const auto failure = DownloadFailure(*connection);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->ErrorCode(), error::kTimeout);
}

TEST_F(FaultServer, UnansweredCommandFailsAndClosesTheConnection) {
    Start("stall-reply");
    auto connection = Connect(*server_, false, kShortTimeout);
    std::string here;
    EXPECT_FALSE(connection->GetCurrentDirectory(here));
    EXPECT_FALSE(connection->IsConnected()) << "a late reply would answer the next command";
    EXPECT_FALSE(connection->SetCurrentDirectory("/"));
    try {
        connection->OpenFile("data.bin", FtpFile::Access::Read);
        FAIL() << "opened a file on a dead connection";
    } catch (const FtpException& failure) {
        EXPECT_EQ(failure.ErrorCode(), error::kConnectionLost);
    }
}

TEST_F(FaultServer, OverlongAndEndlessRepliesFailCleanly) {
    for (const std::string mode : {"long-line", "endless-reply"}) {
        SCOPED_TRACE(mode);
        Start(mode);
        auto connection = Connect(*server_, false, kShortTimeout);
        std::string here;
        EXPECT_FALSE(connection->GetCurrentDirectory(here));
        EXPECT_TRUE(here.empty());
        EXPECT_FALSE(connection->IsConnected());
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
