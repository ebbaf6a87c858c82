// Delete, create directory and rename as runs against real servers, through a
// scripted window; the "locked" server refuses what a test needs refused.
#include "core/manage/CreateDirectoryRun.h"
#include "core/manage/DeleteRun.h"
#include "core/manage/RenameRun.h"
#include "core/remote/RemoteSession.h"
#include "fixtures/FtpServers.h"
#include "support/ScriptedRunHost.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace tidewell {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Answers the confirmation and the tree question as told, everything else OK.
class AnsweringHost : public test::ScriptedRunHost {
public:
    Answer confirm = Answer::Yes;
    Answer removeTree = Answer::Ok;

    Answer Ask(const UserMessage& message) override {
        ScriptedRunHost::Ask(message);
        return message.caption == "Delete Confirmation" ? confirm
               : message.caption == "QUESTION"          ? removeTree
                                                        : Answer::Ok;
    }
};

// "CAPTION <icon> text", the icon as one character.
std::vector<std::string> Said(const test::ScriptedRunHost& host) {
    std::vector<std::string> said;
    for (const UserMessage& m : host.Messages()) {
        const char icons[] = {'-', 'x', '?', '!', 'i'};
        said.push_back(m.caption + " " + icons[static_cast<int>(m.icon)] + " " + m.text);
    }
    return said;
}

// Every path below root, relative.
std::set<std::string> Tree(const fs::path& root) {
    std::set<std::string> paths;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        paths.insert(fs::relative(entry.path(), root).string());
    }
    return paths;
}

class Session {
public:
    explicit Session(const test::FtpServer* server) {
        if (server == nullptr) {
            return;
        }
        const auto& address = server->Address();
        const SiteProfile site{address.host + ":" + std::to_string(address.port), address.user,
                               address.password, ""};
        bool listed = false;
        EXPECT_TRUE(
            runs.Start(std::make_unique<ListingRun>(session, site, [&](ListingOutcome) { listed = true; })));
        EXPECT_TRUE(host.PumpUntil([&] { return listed; }));
        EXPECT_TRUE(session.Connected()) << "no log-in";
    }

    template <class R, class Result, class... Args> Result Run(Args&&... args) {
        std::optional<Result> result;
        EXPECT_TRUE(runs.Start(
            std::make_unique<R>(std::forward<Args>(args)..., [&](Result r) { result = std::move(r); })));
        EXPECT_TRUE(host.PumpUntil([&] { return result.has_value(); })) << "the run did not end";
        return result.value_or(Result{});
    }
    DeleteOutcome Delete(DeleteRequest request) { return Run<DeleteRun, DeleteOutcome>(std::move(request)); }
    bool MakeDirectory(std::string name) { return Run<CreateDirectoryRun, bool>(std::move(name)); }
    bool Rename(RenameRequest request) { return Run<RenameRun, bool>(std::move(request)); }

    AnsweringHost host;
    RemoteSession session{10s};
    RunController runs{host, session};
};

class ManageOnServer : public ::testing::TestWithParam<test::ServerKind> {};

// A file, an empty directory, a link to a directory and a tree holding another:
// one question, everything selected gone, the links' target untouched.
TEST_P(ManageOnServer, DeleteTakesWholeTreesButNeverFollowsALink) {
    auto server = test::StartServer(GetParam());
    ASSERT_TRUE(server->Ready()) << server->Failure();
    server->PutFile("a.txt", "a");
    server->PutDirectory("E");
    for (const char* dir : {"T", "T/S", "T/S/Deep"}) {
        server->PutDirectory(dir); // one by one, so that each belongs to the server's user
    }
    server->PutFile("T/f1", "1");
    server->PutFile("T/S/f2", "2");
    server->PutFile("T/S/Deep/f3", "3");
    server->PutDirectory("outside");
    server->PutFile("outside/keep.txt", "keep");
    fs::create_directory_symlink(server->Root() / "outside", server->Root() / "T/S/link");
    fs::create_directory_symlink(server->Root() / "outside", server->Root() / "L"); // selected itself
    Session s(server.get());

    const DeleteOutcome outcome = s.Delete({{{"a.txt", false}, {"E", true}, {"L", true}, {"T", true}}});
    EXPECT_EQ(Said(s.host),
              (std::vector<std::string>{"Delete Confirmation ? Delete the selected file(s)?",
                                        "QUESTION ? The directory \"T\" contains files, Remove Them?"}));
    EXPECT_EQ(s.host.FileNames().back(), "Deleting, Please Wait...");
    EXPECT_EQ(Tree(server->Root()), (std::set<std::string>{"outside", "outside/keep.txt"}));
    EXPECT_EQ(outcome.deleted, (std::vector<std::size_t>{0, 1, 2, 3}));
    ASSERT_TRUE(outcome.listing.listing.has_value());
    EXPECT_EQ(outcome.listing.listing->dirCount, 1);
}

// Create directory and rename, with the refusals a plain server gives and the
// ones that never reach it.
TEST_P(ManageOnServer, CreateDirectoryAndRenameSayWhyNothingChanged) {
    auto server = test::StartServer(GetParam());
    ASSERT_TRUE(server->Ready()) << server->Failure();
    server->PutFile("a.txt", "a");
    server->PutFile("taken.txt", "taken");
    Session s(server.get());

    EXPECT_FALSE(s.MakeDirectory(""));
    EXPECT_TRUE(s.MakeDirectory("new"));
    EXPECT_FALSE(s.MakeDirectory("new"));
    EXPECT_TRUE(s.Rename({"a.txt", "b.txt", false, false}));
    EXPECT_FALSE(s.Rename({"b.txt", "taken.txt", false, true}));
    EXPECT_FALSE(s.Rename({"..", "up", true, false}));
    EXPECT_FALSE(s.Rename({"b.txt", "x\r\nDELE taken.txt", false, false}));
    EXPECT_EQ(Said(s.host),
              (std::vector<std::string>{
                  "ERROR x You must enter a name for the directory",
                  "ERROR x Directory already exists, or you do not have permission to create directories",
                  "ERROR x \"taken.txt\" already exists in this directory; choose another name",
                  "ERROR x Cannot rename special directories", "ERROR x Could not rename the File"}));
    EXPECT_EQ(Tree(server->Root()), (std::set<std::string>{"b.txt", "new", "taken.txt"}));
    EXPECT_EQ(server->ReadFile("taken.txt"), "taken");
}

INSTANTIATE_TEST_SUITE_P(Servers, ManageOnServer,
                         ::testing::Values(test::ServerKind::Pyftpdlib, test::ServerKind::Vsftpd),
                         [](const auto& info) { return test::ServerKindName(info.param); });

// Each way a delete stops: its messages, what stays, and whether it lists again.
TEST(DeleteStops, EachRefusalEndsTheRunWithItsMessage) {
    const std::string confirm = "Delete the selected file(s)?";
    const std::string question = "QUESTION ? The directory \"T\" contains files, Remove Them?";
    const std::string partly = "INFORMATION i Some of the files could not be deleted";
    const std::string skipped =
        "ERROR ! These remote directories could not be entered and were not emptied:\n";
    const struct Case {
        const char* name;
        std::vector<std::string> files; // a trailing "/" makes a directory
        std::vector<DeleteRow> rows;
        Answer confirm, removeTree;
        int maxDepth;
        std::vector<std::string> said; // after the confirmation
        std::set<std::string> left;
        bool listed;
        std::vector<std::size_t> deleted;
    } cases[] = {
        {"no", {"a", "b"}, {{"a", false}}, Answer::No, Answer::Ok, 64, {}, {"a", "b"}, true, {}},
        {"second file refused",
         {"a", "locked-b", "c"},
         {{"a", false}, {"locked-b", false}, {"c", false}},
         Answer::Yes,
         Answer::Ok,
         64,
         {"ERROR ! Could not delete file(s)"},
         {"locked-b", "c"},
         true,
         {0}},
        {"dot-dot",
         {"a", "c"},
         {{"a", false}, {"..", true}, {"c", false}},
         Answer::Yes,
         Answer::Ok,
         64,
         {"ERROR ! Cannot delete directory \"..\""},
         {"c"},
         true,
         {0}},
        {"not enterable",
         {"locked-d/", "locked-d/x"},
         {{"locked-d", true}},
         Answer::Yes,
         Answer::Ok,
         64,
         {"ERROR ! Cannot delete directory, you may not have permission to do this"},
         {"locked-d", "locked-d/x"},
         false,
         {}},
        {"cancel",
         {"T/", "T/f"},
         {{"T", true}},
         Answer::Yes,
         Answer::Cancel,
         64,
         {question},
         {"T", "T/f"},
         true,
         {}},
        {"skipped subdirectory",
         {"T/", "T/f", "T/locked-s/", "T/locked-s/x"},
         {{"T", true}},
         Answer::Yes,
         Answer::Ok,
         64,
         {question, skipped + "/T/locked-s", partly},
         {"T", "T/locked-s", "T/locked-s/x"},
         false,
         {}},
        {"depth limit",
         {"T/", "T/a/", "T/a/b/", "T/a/b/f"},
         {{"T", true}},
         Answer::Yes,
         Answer::Ok,
         1,
         {question, skipped + "/T/a/b", partly},
         {"T", "T/a", "T/a/b", "T/a/b/f"},
         false,
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::PyftpdlibServer server("locked");
        ASSERT_TRUE(server.Ready()) << server.Failure();
        for (const std::string& file : c.files) {
            if (file.back() == '/') {
                server.PutDirectory(file);
            } else {
                server.PutFile(file, file);
            }
        }
        Session s(&server);
        s.host.confirm = c.confirm;
        s.host.removeTree = c.removeTree;
        const DeleteOutcome outcome = s.Delete({c.rows, c.maxDepth});
        std::vector<std::string> said{"Delete Confirmation ? " + confirm};
        said.insert(said.end(), c.said.begin(), c.said.end());
        EXPECT_EQ(Said(s.host), said);
        EXPECT_EQ(Tree(server.Root()), c.left);
        EXPECT_EQ(outcome.listing.listing.has_value(), c.listed);
        EXPECT_EQ(outcome.deleted, c.deleted);
    }
}

// A server that refuses to rename: the message names the kind of row; and
// without a connection nothing can be created.
TEST(RenameRefused, TheMessageFollowsTheRowAndNoConnectionIsSaid) {
    test::PyftpdlibServer server("locked");
    ASSERT_TRUE(server.Ready()) << server.Failure();
    server.PutDirectory("locked-dir");
    server.PutFile("locked-file", "x");
    Session s(&server);
    EXPECT_FALSE(s.Rename({"locked-dir", "free", true, false}));
    EXPECT_FALSE(s.Rename({"locked-file", "free", false, false}));
    Session offline(nullptr);
    EXPECT_FALSE(offline.MakeDirectory("new"));
    EXPECT_EQ(Said(s.host),
              (std::vector<std::string>{"ERROR x Could not rename the Directory. This operation may not be "
                                        "supported by the FTP server.",
                                        "ERROR x Could not rename the File"}));
    EXPECT_EQ(Said(offline.host),
              std::vector<std::string>{"ERROR x Could not connect to FTP server to create directory"});
    EXPECT_EQ(Tree(server.Root()), (std::set<std::string>{"locked-dir", "locked-file"}));
}

} // namespace
} // namespace tidewell
