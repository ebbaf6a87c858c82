#include "core/remote/CancelScope.h"
#include "core/remote/sftp/SftpErrors.h"
#include "core/remote/sftp/SftpFileSystem.h"
#include "fixtures/FtpServers.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <random>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

namespace tidewell::sftp {
namespace {

using ::testing::UnorderedElementsAre;

// What `ssh-keygen -lf` prints as the fingerprint: its second field.
std::string KeygenFingerprint(const std::filesystem::path& publicKey) {
    std::array<char, 512> line{};
    const auto command = "ssh-keygen -lf " + publicKey.string();
    FILE* pipe = ::popen(command.c_str(), "r");
    const bool read = pipe != nullptr && std::fgets(line.data(), line.size(), pipe) != nullptr;
    if (pipe != nullptr) {
        ::pclose(pipe);
    }
    const std::string text = read ? line.data() : "";
    const auto start = text.find(' ') + 1;
    return text.substr(start, text.find(' ', start) - start);
}

// Whether the thread `tid` of this process waits in poll(2), where libssh waits for the server.
bool WaitsInPoll(pid_t tid) {
    std::ifstream in("/proc/self/task/" + std::to_string(tid) + "/syscall");
    long number = -1;
    in >> number;
#ifdef SYS_poll
    if (number == SYS_poll) {
        return true;
    }
#endif
    return number == SYS_ppoll;
}

SftpLogin LoginTo(
    const test::FtpServer& server,
    HostKeyJudge judge = [](const HostKeyInfo&) { return HostKeyVerdict::AcceptedOnce; }) {
    const auto& address = server.Address();
    SftpLogin login;
    login.host = address.host;
    login.port = address.port;
    login.user = address.user;
    login.password = address.password;
    login.timeout = std::chrono::seconds(10);
    login.judge = std::move(judge);
    return login;
}

class SftpEngine : public ::testing::Test {
protected:
    void SetUp() override {
        if (!server_.Ready()) {
            if (server_.Failure().find("needs root") != std::string::npos) {
                GTEST_SKIP() << server_.Failure();
            }
            FAIL() << server_.Failure();
        }
    }
    std::unique_ptr<SftpFileSystem> ConnectInRoot() {
        auto fs = SftpFileSystem::Connect(LoginTo(server_));
        EXPECT_TRUE(fs->Enter(server_.Root().string())) << fs->LastReply();
        return fs;
    }
    std::string ReadAll(RemoteStream& stream) {
        std::string all;
        std::array<char, 100000> buffer{};
        while (const auto got = stream.Read(buffer.data(), buffer.size())) {
            all.append(buffer.data(), got);
        }
        return all;
    }

    test::SshdServer server_;
};

TEST_F(SftpEngine, JudgesTheHostKeyBeforeLoggingIn) {
    std::vector<HostKeyInfo> asked;
    auto fs = SftpFileSystem::Connect(LoginTo(server_, [&](const HostKeyInfo& key) {
        asked.push_back(key);
        return HostKeyVerdict::AcceptedOnce;
    }));
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].host, "127.0.0.1");
    EXPECT_EQ(asked[0].port, server_.Address().port);
    EXPECT_EQ(asked[0].type, "ssh-ed25519");
    EXPECT_EQ(asked[0].sha256, KeygenFingerprint(server_.HostKeyPublic()));
    EXPECT_TRUE(fs->IsConnected());
    EXPECT_TRUE(fs->KeepAlive());
    fs->Close();
    EXPECT_FALSE(fs->IsConnected());
    EXPECT_FALSE(fs->KeepAlive());

    try {
        SftpFileSystem::Connect(
            LoginTo(server_, [](const HostKeyInfo&) { return HostKeyVerdict::Rejected; }));
        FAIL() << "a rejected host key connected";
    } catch (const RemoteError& failure) {
        EXPECT_EQ(failure.ErrorCode(), error::kHostKeyRejected);
    }
    auto wrong = LoginTo(server_);
    wrong.password = "not-the-password";
    try {
        SftpFileSystem::Connect(wrong);
        FAIL() << "a wrong password logged in";
    } catch (const RemoteError& failure) {
        EXPECT_EQ(failure.ErrorCode(), error::kLoginRefused) << failure.what();
    }
}

TEST_F(SftpEngine, ListsAndEntersDirectoriesAndMarksLinks) {
    server_.PutFile("file.txt", "12345");
    server_.PutDirectory("sub");
    server_.PutFile("sub/inner.txt", "x");
    std::filesystem::create_symlink(server_.Root() / "sub", server_.Root() / "to-sub");
    std::filesystem::create_symlink(server_.Root() / "file.txt", server_.Root() / "to-file");
    auto fs = ConnectInRoot();

    const auto listing = fs->List(true);
    ASSERT_EQ(listing.result, RemoteFileSystem::Listed::Found) << listing.failure;
    std::vector<std::string> rows;
    for (const auto& entry : listing.entries) {
        rows.push_back(entry.name + (entry.directory ? " dir" : " file") + (entry.link ? " link" : "") + " " +
                       (entry.directory ? "" : std::to_string(entry.size)));
        EXPECT_GT(entry.time, 1'000'000'000);
    }
    EXPECT_THAT(
        rows, UnorderedElementsAre("file.txt file 5", "sub dir ", "to-sub dir link ", "to-file file link 5"));

    EXPECT_TRUE(fs->Enter("to-sub"));
    EXPECT_EQ(fs->RealPath(), std::filesystem::canonical(server_.Root() / "sub").string());
    EXPECT_EQ(fs->Size("inner.txt"), 1u);
    EXPECT_TRUE(fs->Enter(".."));
    EXPECT_FALSE(fs->Enter("file.txt"));
    EXPECT_FALSE(fs->Enter("missing"));
    EXPECT_EQ(fs->Size("sub/inner.txt"), 1u);
    EXPECT_EQ(fs->Size("missing"), std::nullopt);
    EXPECT_FALSE(fs->LastReply().empty());
    EXPECT_TRUE(fs->Enter("sub"));
    EXPECT_EQ(fs->List(false).result, RemoteFileSystem::Listed::Found);
    EXPECT_TRUE(fs->MakeDirectory("empty"));
    EXPECT_TRUE(fs->Enter("empty"));
    EXPECT_EQ(fs->List(false).result, RemoteFileSystem::Listed::Empty);
}

TEST_F(SftpEngine, DownloadsWholeAndFromAnOffsetAndChecksTheLength) {
    std::string content(300'000, '\0');
    for (std::size_t i = 0; i < content.size(); ++i) {
        content[i] = static_cast<char>(i * 7 % 251);
    }
    server_.PutFile("big.bin", content);
    auto fs = ConnectInRoot();

    auto whole = fs->Open("big.bin", RemoteFileSystem::Access::Read, 0, content.size());
    EXPECT_EQ(ReadAll(*whole), content);
    whole->Close();

    auto tail = fs->Open("big.bin", RemoteFileSystem::Access::Read, 123'456, std::nullopt);
    std::array<char, 10> some{};
    EXPECT_GT(tail->ReadSome(some.data(), some.size()), 0u);
    EXPECT_EQ(std::string(some.data(), 10), content.substr(123'456, 10));
    EXPECT_EQ(ReadAll(*tail), content.substr(123'466));
    tail->Close();

    auto shortened = fs->Open("big.bin", RemoteFileSystem::Access::Read, 0, content.size() + 1);
    EXPECT_THROW(ReadAll(*shortened), RemoteError);
    shortened->Close();
    EXPECT_THROW(fs->Open("missing.bin", RemoteFileSystem::Access::Read, 0, std::nullopt), RemoteError);
    EXPECT_TRUE(fs->IsConnected());

    // Past 4 GiB (sparse on disk): sizes and offsets keep all 64 bits.
    constexpr std::uint64_t kFourGiB = 4ULL << 30;
    server_.PutFile("huge.bin", "");
    std::filesystem::resize_file(server_.Root() / "huge.bin", kFourGiB + 3);
    EXPECT_EQ(fs->Size("huge.bin"), kFourGiB + 3);
    const auto listed = fs->List(false).entries;
    EXPECT_TRUE(std::any_of(listed.begin(), listed.end(), [&](const RemoteEntry& entry) {
        return entry.name == "huge.bin" && static_cast<std::uint64_t>(entry.size) == kFourGiB + 3;
    }));
    auto end = fs->Open("huge.bin", RemoteFileSystem::Access::Read, kFourGiB + 1, kFourGiB + 3);
    EXPECT_EQ(ReadAll(*end), std::string(2, '\0'));
}

TEST_F(SftpEngine, UploadsRenamesWithoutReplacingAndRemoves) {
    auto fs = ConnectInRoot();
    const std::string content(200'000, 'u');
    auto upload = fs->Open("up.part", RemoteFileSystem::Access::Write, 0, std::nullopt);
    for (std::size_t sent = 0; sent < content.size();) {
        const auto part = std::min<std::size_t>(RemoteStream::kMostWriteSpace, content.size() - sent);
        std::copy_n(content.data() + sent, part, upload->WriteSpace(part));
        upload->CommitWrite(part);
        sent += part;
    }
    EXPECT_TRUE(upload->Flush());
    upload->Close();
    auto resumed = fs->Open("up.part", RemoteFileSystem::Access::Write, 199'999, std::nullopt);
    *resumed->WriteSpace(2) = 'v';
    resumed->CommitWrite(1);
    resumed->Close();
    const auto expected = content.substr(0, 199'999) + "v";

    EXPECT_TRUE(fs->Rename("up.part", "up.bin"));
    EXPECT_EQ(server_.ReadFile("up.bin"), expected);
    server_.PutFile("other.bin", "keep");
    EXPECT_FALSE(fs->Rename("other.bin", "up.bin"));
    EXPECT_THAT(fs->LastReply(), ::testing::HasSubstr("exists"));
    EXPECT_EQ(server_.ReadFile("up.bin"), expected);
    EXPECT_FALSE(fs->RenameTo("anything"));
    const auto both = fs->RenameAtOnce("missing", "x");
    EXPECT_FALSE(both.from);
    EXPECT_FALSE(both.to);
    EXPECT_TRUE(fs->RenameFrom("other.bin"));
    EXPECT_TRUE(fs->RenameTo("moved.bin"));
    EXPECT_EQ(server_.ReadFile("moved.bin"), "keep");

    EXPECT_TRUE(fs->MakeDirectory("dir"));
    EXPECT_FALSE(fs->MakeDirectory("dir"));
    EXPECT_TRUE(fs->Rename("moved.bin", "dir/moved.bin"));
    EXPECT_FALSE(fs->RemoveDirectory("dir"));
    EXPECT_TRUE(fs->Delete("dir/moved.bin"));
    EXPECT_TRUE(fs->RemoveDirectory("dir"));
    EXPECT_TRUE(fs->Delete("up.bin"));
    EXPECT_FALSE(fs->Delete("up.bin"));
    EXPECT_FALSE(std::filesystem::exists(server_.Root() / "dir"));
    EXPECT_FALSE(std::filesystem::exists(server_.Root() / "up.bin"));
}

TEST_F(SftpEngine, KeepsRequestsInFlightAndACancelCutsAWaitShort) {
    std::string content(6 * 1024 * 1024 + 12'345, '\0');
    std::mt19937 random(7);
    for (auto& byte : content) {
        byte = static_cast<char>(random());
    }
    server_.PutFile("big.bin", content);
    auto fs = ConnectInRoot();

    constexpr std::uint64_t kFrom = 1'000'003;
    auto tail = fs->Open("big.bin", RemoteFileSystem::Access::Read, kFrom, content.size());
    EXPECT_EQ(ReadAll(*tail), content.substr(kFrom));
    tail->Close();

    // Given up early: what is still in flight is dropped on the way to the next transfer.
    auto abandoned = fs->Open("big.bin", RemoteFileSystem::Access::Read, 0, content.size());
    std::array<char, 1000> some{};
    EXPECT_EQ(abandoned->Read(some.data(), some.size()), some.size());
    abandoned->Close();

    // Sent in two goes, the second going on from where the first stopped.
    const auto send = [&](std::size_t from, std::size_t to) {
        auto upload = fs->Open("copy.bin", RemoteFileSystem::Access::Write, from, std::nullopt);
        for (std::size_t at = from; at < to;) {
            const auto part = std::min(RemoteStream::kMostWriteSpace, to - at);
            std::copy_n(content.data() + at, part, upload->WriteSpace(part));
            upload->CommitWrite(part);
            at += part;
        }
        EXPECT_TRUE(upload->Flush());
        upload->Close();
    };
    send(0, 3'333'333);
    send(3'333'333, content.size());
    EXPECT_EQ(server_.ReadFile("copy.bin"), content);
    EXPECT_EQ(fs->List(false).result, RemoteFileSystem::Listed::Found);

    // A server gone silent, a download waiting for it, a cancel: the wait ends
    // at once, not when the connection's time is up.
    auto patient = LoginTo(server_);
    patient.timeout = std::chrono::seconds(120);
    auto waiting = SftpFileSystem::Connect(patient);
    auto stream = waiting->Open((server_.Root() / "big.bin").string(), RemoteFileSystem::Access::Read, 0,
                                content.size());
    std::atomic<bool> cancel = false;
    std::atomic<pid_t> reader = 0;
    std::future<std::string> reading;
    {
        const test::StoppedProcesses silent(server_.ConnectionProcesses());
        reading = std::async(std::launch::async, [&] {
            const CancelScope cancellable(cancel);
            reader = ::gettid();
            std::vector<char> buffer(1 << 20);
            try {
                while (stream->ReadSome(buffer.data(), buffer.size()) > 0) {
                }
                return std::string("ended");
            } catch (const RemoteError& failure) {
                return std::string(failure.what());
            }
        });
        // Waiting in poll(2) with nothing in flight: past every check of the flag.
        const auto bound = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while ((reader == 0 || !WaitsInPoll(reader)) && std::chrono::steady_clock::now() < bound) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ASSERT_TRUE(WaitsInPoll(reader));
        cancel = true;
        ASSERT_EQ(reading.wait_for(std::chrono::seconds(20)), std::future_status::ready);
    }
    EXPECT_THAT(reading.get(), ::testing::HasSubstr("cancelled"));
    EXPECT_FALSE(waiting->IsConnected());
    EXPECT_THROW(stream->ReadSome(some.data(), some.size()), RemoteError);
}

} // namespace
} // namespace tidewell::sftp
