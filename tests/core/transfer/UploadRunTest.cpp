// The upload run against real servers, through a scripted window.
#include "core/transfer/UploadRun.h"

#include "fixtures/FtpServers.h"
#include "support/FileTree.h"
#include "support/ScriptedRunHost.h"
#include "support/SilentServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <sys/stat.h>

namespace tidewell {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Files = std::map<std::string, std::string>;
using test::Tree;
using test::Write;

// Uploads into the login directory of a site that is not logged in yet: the run connects.
struct Upload : test::RunBench<> {
    explicit Upload(const test::FtpServer& server, std::deque<OverwriteAnswer> answers = {})
        : RunBench(std::move(answers)), site(SiteOf(server)) {
        TrustOnce(server);
    }
    // Over that many connections, which the run makes itself.
    // A failed file is tried twice in all.
    ListingOutcome Run(const std::vector<fs::path>& paths, int connections = 1) {
        return RunBench::Run<UploadRun, ListingOutcome>(
            session, site, paths,
            UploadRun::Options{false, connections, std::nullopt, FileWorkers::Retry{2, 10ms}});
    }
    SiteProfile site;
};

class UploadTree : public ::testing::TestWithParam<test::ServerKind> {};

// A folder with three files in two sub-folders (block-boundary sizes), an
// empty folder and a file after them: the tree is recreated below the login
// directory, the file lands beside it, and what is no file or leads out of
// the folders (a pipe, a link back to a parent, a link to "/") is named once
// and leaves no remote trace. A remote name
// that merely starts with the file's name is another file: no question.
TEST_P(UploadTree, RecreatesTheFoldersBelowTheStartingDirectory) {
    auto server = test::StartServer(GetParam());
    ASSERT_TRUE(server->Ready()) << server->Failure();
    server->PutFile("after.txt.bak", "kept");
    test::TempDir local;
    const fs::path& l = local.Path();
    fs::create_directories(l / "D/S");
    fs::create_directories(l / "D/T");
    fs::create_directory(l / "E");
    Write(l / "D/empty.bin", "");
    Write(l / "D/S/two-blocks", std::string(32768, 's'));
    Write(l / "D/T/one", "1");
    Write(l / "after.txt", "after");
    ASSERT_EQ(::mkfifo((l / "D/pipe").c_str(), 0600), 0);
    fs::create_directory_symlink("..", l / "D/T/loop");
    fs::create_directory_symlink("/", l / "D/root");

    Upload upload(*server);
    const ListingOutcome outcome = upload.Run({l / "D", l / "E", l / "after.txt"}, 4);

    EXPECT_EQ(Tree(server->Root()), (Files{{"D", "<dir>"},
                                           {"D/empty.bin", ""},
                                           {"D/S", "<dir>"},
                                           {"D/S/two-blocks", "32768 bytes"},
                                           {"D/T", "<dir>"},
                                           {"D/T/one", "1"},
                                           {"E", "<dir>"},
                                           {"after.txt", "after"},
                                           {"after.txt.bak", "kept"}}));
    const auto messages = upload.host.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].text.find("D/pipe"), std::string::npos) << messages[0].text;
    EXPECT_NE(messages[0].text.find("D/T/loop"), std::string::npos) << messages[0].text;
    EXPECT_NE(messages[0].text.find("D/root"), std::string::npos) << messages[0].text;
    EXPECT_TRUE(upload.host.Questions().empty());
    EXPECT_EQ(upload.host.LastDisplay().sessionPercent, "100%");
    ASSERT_TRUE(outcome.ending); // the pipe and the links were named above
    EXPECT_EQ(outcome.ending->message.text,
              "Transfer ended with errors: 4 of 7 files copied, 3 skipped (named above).");
    ASSERT_TRUE(outcome.connected && outcome.listing);
    EXPECT_EQ(outcome.siteDirectory, upload.session.LoginDirectory()); // the listing is the starting one
    EXPECT_EQ(outcome.listing->fileCount, 2);
    EXPECT_EQ(outcome.listing->dirCount, 2);
}

INSTANTIATE_TEST_SUITE_P(Servers, UploadTree,
                         ::testing::Values(test::ServerKind::Pyftpdlib, test::ServerKind::Vsftpd,
                                           test::ServerKind::Sshd),
                         [](const auto& info) { return test::ServerKindName(info.param); });

// Merging into an existing remote directory, with the remote file as the
// existing version in the question: No keeps it, Yes To All replaces it and
// every later one without asking.
TEST(UploadOverwrite, NoKeepsTheRemoteFileAndYesToAllReplacesTheRest) {
    auto server = test::StartServer(test::ServerKind::Pyftpdlib);
    ASSERT_TRUE(server->Ready()) << server->Failure();
    test::TempDir local;
    fs::create_directory(local.Path() / "D");
    server->PutDirectory("D");
    for (const std::string name : {"a", "b", "c"}) {
        Write(local.Path() / "D" / name, "new " + name);
        server->PutFile("D/" + name, "old " + name);
    }
    Upload upload(*server, {OverwriteAnswer::No, OverwriteAnswer::YesToAll});
    upload.Run({local.Path() / "D"});
    const auto questions = upload.host.Questions();
    ASSERT_EQ(questions.size(), 2u);
    EXPECT_EQ(questions[1].fileLine, "b");
    EXPECT_TRUE(questions[1].existingLine.starts_with("5 Bytes, modified on, ")) << questions[1].existingLine;
    EXPECT_EQ(Tree(server->Root() / "D"), (Files{{"a", "old a"}, {"b", "new b"}, {"c", "new c"}}));
}

// Refusals, each said once: a remote file where a folder goes is never
// entered; a directory the server will not make keeps its files (and, after
// that error, every later file) off the server; a refused STOR leaves no
// partial remote file behind. A file that replaces another survives a cancel
// mid-file and a transfer cut off half-way (it is written under a temporary
// name, nothing of which stays), and is replaced whole on a server that will
// not rename onto a name or cannot rename at all.
TEST(UploadFailures, NothingLandsInTheWrongPlaceOrHalfWritten) {
    test::TempDir local;
    const fs::path& l = local.Path();
    for (const char* dir : {"C", "A", "B"}) {
        fs::create_directory(l / dir);
        Write(l / dir / "inside", dir);
    }
    Write(l / "first", "first");
    Write(l / "big", std::string(3'000'000, 'b'));
    Write(l / "last", "last");
    const std::string inTheWay =
        "Could not transfer directory \"C\": the FTP server holds a file of that name";
    const std::string noPermission =
        "Could not transfer directory, you do not have permission to create directories on the FTP server";
    const std::string failed = "Unable to upload files to this FTP server";
    const struct {
        const char* mode;
        std::vector<fs::path> paths;
        bool cancel;
        std::vector<std::string> messages;
        Files remote;
        const char* ending = nullptr; // the start of what is said after the listing; none: complete
    } cases[] = {
        {"mkd-550",
         {l / "C", l / "A", l / "B", l / "first"},
         false,
         {inTheWay, noPermission},
         {{"C", "file"}, {"big", "old"}},
         "Transfer ended with errors: 0 of 4 files copied, 4 skipped"},
        {"normal",
         {l / "first", l / "big", l / "last"},
         true,
         {},
         {{"C", "file"}, {"big", "old"}, {"first", "first"}},
         "Transfer cancelled: 1 of 3 files copied."},
        {"stor-552",
         {l / "first", l / "last"},
         false,
         {failed},
         {{"C", "file"}, {"big", "old"}},
         "Transfer ended"},
        {"stor-half",
         {l / "big", l / "last"},
         false,
         {failed},
         {{"C", "file"}, {"big", "old"}},
         "Transfer ended"},
        {"rnto-553", {l / "big"}, false, {}, {{"C", "file"}, {"big", "3000000 bytes"}}},
        {"rnfr-500", {l / "big"}, false, {}, {{"C", "file"}, {"big", "3000000 bytes"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        test::PyftpdlibServer server(c.mode);
        ASSERT_TRUE(server.Ready()) << server.Failure();
        server.PutFile("C", "file");
        server.PutFile("big", "old");
        Upload upload(server, {OverwriteAnswer::YesToAll});
        if (c.cancel) {
            upload.host.onTransfer = [&](const TransferDisplay& display) {
                if (display.fileName == "big" && display.filePosition > 0) { // mid-file
                    upload.runs.Cancel();
                }
            };
        }
        const ListingOutcome outcome = upload.Run(c.paths);
        std::vector<std::string> texts;
        for (const UserMessage& message : upload.host.Messages()) {
            texts.push_back(message.text);
        }
        EXPECT_EQ(texts, c.messages);
        EXPECT_EQ(Tree(server.Root()), c.remote);
        ASSERT_TRUE(outcome.ending);
        EXPECT_EQ(outcome.ending->complete, c.ending == nullptr);
        EXPECT_TRUE(outcome.ending->message.text.starts_with(c.ending ? c.ending : ""))
            << outcome.ending->message.text;
        EXPECT_TRUE(upload.session.Connected());
    }
}

// Four connections at once. A server that lets this client have two still
// takes the whole tree, and files already there are asked about once: Yes To
// All holds on every connection. A connection that dies mid-file (an extra
// one) is made again and its file goes on.
TEST(UploadParallel, FewerConnectionsOneQuestionAndALostConnection) {
    test::TempDir local;
    fs::create_directory(local.Path() / "D");
    for (int i = 0; i < 12; ++i) {
        Write(local.Path() / ("D/f" + std::to_string(i)), std::string(20000 + i, static_cast<char>('a' + i)));
    }
    {
        test::VsftpdServer limited(false, test::Tls::None, "max_per_ip=2\n");
        ASSERT_TRUE(limited.Ready()) << limited.Failure();
        limited.PutDirectory("D");
        limited.PutFile("D/f0", "old");
        limited.PutFile("D/f7", "old");
        Upload upload(limited, {OverwriteAnswer::YesToAll});
        const ListingOutcome outcome = upload.Run({local.Path() / "D"}, 4);
        EXPECT_EQ(Tree(limited.Root()), Tree(local.Path()));
        EXPECT_EQ(upload.host.Questions().size(), 1u);
        EXPECT_TRUE(upload.host.Messages().empty());
        EXPECT_TRUE(outcome.ending && outcome.ending->complete);
    }

    std::vector<fs::path> big;
    for (int i = 0; i < 8; ++i) {
        big.push_back(local.Path() / ("big" + std::to_string(i)));
        Write(big.back(), std::string(1'000'000, 'p'));
    }
    test::PyftpdlibServer paced("throttle-4mb,cut-extra");
    ASSERT_TRUE(paced.Ready()) << paced.Failure();
    Upload upload(paced);
    // The run logs in first: every later session is an extra connection.
    const ListingOutcome outcome = upload.Run(big, 4);
    EXPECT_EQ(Tree(paced.Root()).size(), 8u);
    EXPECT_TRUE(upload.host.Messages().empty());
    EXPECT_TRUE(outcome.ending && outcome.ending->complete);
    EXPECT_TRUE(upload.session.Connected());
}

// A session cut part-way through a file that replaces another: the run logs
// in again and goes on into the same temporary name from what the server
// holds, and renames it over the old file only once it is whole. Where the
// server offers a hash and it differs, the file is sent again from the start.
TEST(UploadResume, GoesOnIntoTheTemporaryNameAfterACut) {
    std::string content(3'000'000, '\0');
    for (std::size_t i = 0; i < content.size(); ++i) {
        content[i] = static_cast<char>(i * 7 + i / 251);
    }
    test::TempDir local;
    Write(local.Path() / "big", content);
    for (const char* mode : {"cut-half,record", "cut-half,hash-wrong,record"}) {
        SCOPED_TRACE(mode);
        test::PyftpdlibServer server(mode);
        ASSERT_TRUE(server.Ready()) << server.Failure();
        server.PutFile("big", "old");
        Upload upload(server, {OverwriteAnswer::Yes});
        const ListingOutcome outcome = upload.Run({local.Path() / "big"});
        EXPECT_TRUE(outcome.ending && outcome.ending->complete);
        EXPECT_TRUE(upload.host.Messages().empty());
        EXPECT_EQ(Tree(server.Root()).size(), 1u);
        EXPECT_TRUE(server.ReadFile("big") == content);
        std::istringstream log(server.ReadFile("../commands.log").value_or(""));
        std::vector<std::string> sent; // STOR and REST, in order
        for (std::string line; std::getline(log, line);) {
            if (line.starts_with("STOR ") || line.starts_with("REST ")) {
                sent.push_back(line);
            }
        }
        const bool again = std::string(mode).find("wrong") != std::string::npos;
        ASSERT_EQ(sent.size(), again ? 4u : 3u);
        EXPECT_EQ(sent[1], "REST 1000000");
        EXPECT_EQ(sent.back(), sent[0]);
        EXPECT_NE(sent[0], "STOR big");
    }
}

// Cancel while the upload is still connecting to a server that never answers:
// the attempt is abandoned at once, not after the timeout, and nothing is said.
TEST(UploadCancel, ASilentServerIsLeftAtOnce) {
    test::SilentServer silent;
    test::RunBench<> bench({}, std::chrono::minutes(10));
    test::TempDir local;
    Write(local.Path() / "file", "content");
    bool ended = false;
    ASSERT_TRUE(bench.runs.Start(
        std::make_unique<UploadRun>(bench.session, SiteProfile{silent.Address(), "u", "p", ""},
                                    std::vector<fs::path>{local.Path() / "file"}, UploadRun::Options{},
                                    [&](ListingOutcome) { ended = true; })));
    bench.runs.Cancel();
    EXPECT_TRUE(bench.host.PumpUntil([&] { return ended; }, std::chrono::seconds(20)));
    EXPECT_TRUE(bench.host.Messages().empty());
    EXPECT_FALSE(bench.session.Connected());
}

} // namespace
} // namespace tidewell
