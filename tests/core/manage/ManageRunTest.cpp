// The manage runs against real servers through a scripted window; the "locked" one refuses.
#include "core/manage/CreateDirectoryRun.h"
#include "core/manage/DeleteRun.h"
#include "core/manage/RenameRun.h"
#include "fixtures/FtpServers.h"
#include "support/ScriptedRunHost.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace tidewell {
namespace {

namespace fs = std::filesystem;

// Answers the confirmation as told, the rest OK; keeps "CAPTION <icon> text".
struct AnsweringHost : test::ScriptedRunHost {
    using ScriptedRunHost::ScriptedRunHost;
    Answer confirm = Answer::Yes;
    std::vector<std::string> said;

    Answer Ask(const UserMessage& m) override {
        said.push_back(m.caption + " " + "-x?!i"[static_cast<int>(m.icon)] + " " + m.text);
        return m.caption == "Delete Confirmation" ? confirm : Answer::Ok;
    }
};

std::set<std::string> Tree(const fs::path& root) {
    std::set<std::string> paths;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        paths.insert(entry.path().lexically_relative(root).string()); // a link as itself
    }
    return paths;
}

// Logged in to the server's login directory (not at all without one).
struct Session : test::RunBench<AnsweringHost> {
    explicit Session(const test::FtpServer* server) {
        if (server != nullptr) {
            LogIn(*server);
        }
    }
    DeleteOutcome Delete(DeleteRequest request) { return Run<DeleteRun, DeleteOutcome>(std::move(request)); }
    bool MakeDirectory(std::string name) { return Run<CreateDirectoryRun, bool>(std::move(name)); }
    bool Rename(RenameRequest request) { return Run<RenameRun, bool>(std::move(request)); }
};

const std::string kConfirm = "Delete Confirmation ? Delete the selected file(s)?";
const std::string kNotAName =
    " is not a name for an entry of this directory: it cannot be \".\" or \"..\", nor hold \"/\" or \"\\\"; "
    "choose another name";
const std::string kQuestion = "QUESTION ? The directory \"T\" contains files, Remove Them?";

// A file, an empty directory, a link to a directory and a tree holding another,
// its files deleted over several connections: one question, everything
// selected gone, the links' target untouched. Then
// create directory and rename, with the refusals a plain server gives and
// those that never reach it; and without a connection nothing is created.
TEST(ManageOnServers, DeleteTreesWithoutFollowingLinksThenCreateAndRename) {
    for (const auto kind : {test::ServerKind::Pyftpdlib, test::ServerKind::Vsftpd, test::ServerKind::Sshd}) {
        SCOPED_TRACE(test::ServerKindName(kind));
        auto server = test::StartServer(kind);
        ASSERT_TRUE(server->Ready()) << server->Failure();
        for (const char* dir : {"E", "T", "T/S", "T/S/Deep", "outside"}) {
            server->PutDirectory(dir); // one by one, so that each belongs to the server's user
        }
        for (const char* file :
             {".hidden", "a.txt", "T/f1", "T/S/f2", "T/S/Deep/f3", "outside/keep.txt", "taken.txt"}) {
            server->PutFile(file, "x");
        }
        fs::create_directory_symlink(server->Root() / "outside", server->Root() / "T/S/link");
        fs::create_directory_symlink(server->Root() / "outside", server->Root() / "L");
        Session s(server.get());
        // The tree's files over four connections at once.
        const DeleteOutcome outcome = s.Delete({{{"E", true}, {"L", true}, {"T", true}},
                                                RemoteTreeDelete::kMaxDepth,
                                                4,
                                                s.session.MoreConnections()});
        EXPECT_EQ(s.host.FileNames().back(), "Deleting, Please Wait...");
        EXPECT_EQ(outcome.deleted, (std::vector<std::size_t>{0, 1, 2}));

        EXPECT_FALSE(s.MakeDirectory(""));
        EXPECT_TRUE(s.MakeDirectory("new"));
        EXPECT_FALSE(s.MakeDirectory("new"));
        EXPECT_TRUE(s.Rename({"a.txt", "b.txt", false, false}));
        EXPECT_FALSE(s.Rename({"b.txt", "taken.txt", false, true}));
        EXPECT_FALSE(s.Rename({"..", "up", true, false}));
        EXPECT_FALSE(s.Rename({"b.txt", "x\r\nDELE taken.txt", false, false}));
        // Neither a path nor a hidden name the window's listing may not show replaces anything.
        EXPECT_FALSE(s.Rename({"b.txt", "./taken.txt", false, false}));
        EXPECT_FALSE(s.Rename({"b.txt", "new/b.txt", false, false}));
        EXPECT_FALSE(s.Rename({"b.txt", ".hidden", false, false}));
        EXPECT_EQ(s.host.said,
                  (std::vector<std::string>{
                      kConfirm, kQuestion, "ERROR x You must enter a name for the directory",
                      "ERROR x Directory already exists, or you do not have permission to create directories",
                      "ERROR x \"taken.txt\" already exists in this directory; choose another name",
                      "ERROR x Cannot rename special directories", "ERROR x Could not rename the File",
                      "ERROR x \"./taken.txt\"" + kNotAName, "ERROR x \"new/b.txt\"" + kNotAName,
                      "ERROR x \".hidden\" already exists in this directory; choose another name"}));
        EXPECT_EQ(Tree(server->Root()), (std::set<std::string>{".hidden", "b.txt", "new", "outside",
                                                               "outside/keep.txt", "taken.txt"}));
        Session offline(nullptr);
        EXPECT_FALSE(offline.MakeDirectory("new"));
        EXPECT_EQ(offline.host.said,
                  std::vector<std::string>{"ERROR x Could not connect to FTP server to create directory"});
    }
}

// Each way a delete or rename stops, and what a delete leaves alone: messages, what stays (checked
// on disk), whether it lists again; "x/" is a directory.
TEST(Refusals, EachEndsTheRunWithItsMessage) {
    const std::string skipped =
        "ERROR ! These remote directories could not be entered and were not emptied:\n";
    const std::string partly = "INFORMATION i Some of the files could not be deleted";
    const struct Case {
        std::vector<std::string> files;
        std::vector<DeleteRow> rows; // none: rename locked-d to "free"
        Answer confirm;
        int maxDepth;
        std::vector<std::string> said;
        std::set<std::string> left;
        bool listed;
        std::vector<std::pair<std::string, std::string>> links = {}; // name, target
    } cases[] = {
        // clang-format off
        {{"a", "b"}, {{"a", false}}, Answer::No, 64, {kConfirm}, {"a", "b"}, true},
        {{"a", "locked-b", "c"}, {{"a", false}, {"locked-b", false}, {"c", false}}, Answer::Yes, 64,
         {kConfirm, "ERROR ! Could not delete file(s)"}, {"locked-b", "c"}, true},
        {{"a", "c"}, {{"a", false}, {"..", true}, {"c", false}}, Answer::Yes, 64,
         {kConfirm, "ERROR ! Cannot delete directory \"..\""}, {"c"}, true},
        {{"locked-d/", "locked-d/x"}, {{"locked-d", true}}, Answer::Yes, 64,
         {kConfirm, "ERROR ! Cannot delete directory, you may not have permission to do this"},
         {"locked-d", "locked-d/x"}, false},
        {{"T/", "T/f", "T/locked-s/", "T/locked-s/x"}, {{"T", true}}, Answer::Yes, 64,
         {kConfirm, kQuestion, skipped + "/T/locked-s", partly}, {"T", "T/locked-s", "T/locked-s/x"}, false},
        {{"T/", "T/a/", "T/a/b/", "T/a/b/f"}, {{"T", true}}, Answer::Yes, 1,
         {kConfirm, kQuestion, skipped + "/T/a/b", partly}, {"T", "T/a", "T/a/b", "T/a/b/f"}, false},
        // A link the server will not remove is never entered, whatever the listing says it is.
        {{"T/", "T/f", "outside/", "outside/keep"}, {{"T", true}}, Answer::Yes, 64, {kConfirm, kQuestion, partly},
         {"T", "T/locked-link", "outside", "outside/keep"}, false, {{"T/locked-link", "../outside"}}},
        // Names from the listing that would reach outside the tree are never sent.
        {{"escape.txt", "abs.txt", "dir/", "dir/x", "hostile/", "hostile/f"}, {{"hostile", true}}, Answer::Yes, 64,
         {kConfirm, "QUESTION ? The directory \"hostile\" contains files, Remove Them?",
          "ERROR ! These names could reach outside their directory and were not sent to the server:\n"
          "../escape.txt\n/abs.txt\n../dir"},
         {"abs.txt", "dir", "dir/x", "escape.txt"}, true},
        {{"locked-d/"}, {}, Answer::Yes, 64,
         {"ERROR x Could not rename the Directory. This operation may not be supported by the FTP server."},
         {"locked-d"}, false},
        // clang-format on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.said.back());
        test::PyftpdlibServer server("locked,hostile-names");
        ASSERT_TRUE(server.Ready()) << server.Failure();
        for (const std::string& file : c.files) {
            file.back() == '/' ? server.PutDirectory(file) : server.PutFile(file, file);
        }
        for (const auto& [name, target] : c.links) {
            fs::create_directory_symlink(target, server.Root() / name);
        }
        Session s(&server);
        s.host.confirm = c.confirm;
        const bool listed = c.rows.empty() ? s.Rename({"locked-d", "free", true, false})
                                           : s.Delete({c.rows, c.maxDepth}).listing.listing.has_value();
        EXPECT_EQ(s.host.said, c.said);
        EXPECT_EQ(Tree(server.Root()), c.left);
        EXPECT_EQ(listed, c.listed);
    }
}

} // namespace
} // namespace tidewell
