// The download run against real servers, through a scripted window.
#include "core/transfer/DownloadRun.h"

#include "fixtures/FtpServers.h"
#include "support/FileTree.h"
#include "support/ScriptedRunHost.h"
#include "support/SilentServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>

namespace tidewell {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

using test::Read;
using test::Tree;
using test::Write;

// Logged in to the server's login directory, whose entries it downloads.
struct Download : test::RunBench<> {
    explicit Download(const test::FtpServer& server, std::deque<OverwriteAnswer> answers = {},
                      std::chrono::milliseconds timeout = 10s)
        : RunBench(std::move(answers), timeout) {
        LogIn(server);
    }
    // Downloads the names into the folder over that many connections, a
    // failed file tried `attempts` times in all; the listing it ends with.
    ListingOutcome Run(std::vector<std::string> names, const fs::path& into, int connections = 1,
                       int attempts = 2) {
        return RunBench::Run<DownloadRun, ListingOutcome>(
            DownloadRequest{std::move(names), session.LoginDirectory(), into, connections,
                            session.MoreConnections(), FileWorkers::Retry{attempts, 10ms}});
    }
};

// The hidden parts kept in a folder, with their sizes.
std::map<std::string, std::uintmax_t> Kept(const fs::path& folder) {
    std::map<std::string, std::uintmax_t> kept;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string().starts_with(".")) {
            kept[entry.path().filename().string()] = entry.file_size();
        }
    }
    return kept;
}

// Bytes that show a shifted or repeated piece.
std::string Numbered(std::size_t size, int seed) {
    std::string content(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        content[i] = static_cast<char>((i * 7 + i / 251 + static_cast<std::size_t>(seed)) % 256);
    }
    return content;
}

// The offsets of the REST commands the server was sent, and the log emptied.
std::vector<std::uint64_t> Restarts(const test::FtpServer& server) {
    std::vector<std::uint64_t> offsets;
    std::istringstream log(server.ReadFile("../commands.log").value_or(""));
    for (std::string line; std::getline(log, line);) {
        if (line.starts_with("REST ")) {
            offsets.push_back(std::stoull(line.substr(5)));
        }
    }
    fs::remove(server.Root().parent_path() / "commands.log");
    return offsets;
}

class DownloadTree : public ::testing::TestWithParam<test::ServerKind> {};

// A file and a directory whose tree holds block-boundary sizes: files first,
// then subdirectories, each recreated below the folder.
TEST_P(DownloadTree, CopiesTheSelectionDepthFirstWithItsBlocksIntact) {
    auto server = test::StartServer(GetParam());
    ASSERT_TRUE(server->Ready()) << server->Failure();
    const std::string block(16384, 'b');
    server->PutFile("a.txt", "");
    server->PutFile("a.txt.1", "not selected");
    server->PutDirectory("D");
    server->PutFile("D/f1", "x");
    server->PutDirectory("D/S");
    server->PutFile("D/S/f2", block + block);
    server->PutFile("D/f3", block + "tail");
    server->PutDirectory("D/empty");
    test::TempDir folder;
    Download download(*server);
    const ListingOutcome outcome = download.Run({"a.txt", "D"}, folder.Path(), 4);

    EXPECT_EQ(Tree(folder.Path()), (std::map<std::string, std::string>{{"a.txt", ""},
                                                                       {"D", "<dir>"},
                                                                       {"D/f1", "x"},
                                                                       {"D/f3", "16388 bytes"},
                                                                       {"D/S", "<dir>"},
                                                                       {"D/S/f2", "32768 bytes"},
                                                                       {"D/empty", "<dir>"}}));
    // The bars at 100% while the notice shows and the listing read again: DownloadWindowTest.
    EXPECT_FALSE(download.host.LastDisplay().animating);
    EXPECT_TRUE(outcome.ending && outcome.ending->complete);
    EXPECT_TRUE(download.host.Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(Servers, DownloadTree,
                         ::testing::Values(test::ServerKind::Pyftpdlib, test::ServerKind::Vsftpd,
                                           test::ServerKind::Sshd),
                         [](const auto& info) { return test::ServerKindName(info.param); });

// Each answer of the overwrite question, on two existing files.
TEST(DownloadOverwrite, EachAnswerKeepsOrReplacesTheExistingFiles) {
    auto server = test::StartServer(test::ServerKind::Pyftpdlib);
    ASSERT_TRUE(server->Ready()) << server->Failure();
    server->PutFile("one", "new one");
    server->PutFile("two", "new two");
    const struct {
        std::deque<OverwriteAnswer> answers;
        std::size_t questions;
        const char *one, *two;
        const char* sessionPercent; // at the end of the run
        const char* ending;         // the message after the listing; none: the completion notice
    } cases[] = {
        {{OverwriteAnswer::Yes, OverwriteAnswer::No}, 2, "new one", "old two", "100%", nullptr},
        {{OverwriteAnswer::YesToAll}, 1, "new one", "new two", "100%", nullptr},
        {{OverwriteAnswer::Cancel},
         1,
         "old one",
         "old two",
         "0%",
         "Transfer cancelled: 0 of 2 files copied."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.questions);
        test::TempDir folder;
        Write(folder.Path() / "one", "old one");
        Write(folder.Path() / "two", "old two");
        Download download(*server, c.answers);
        const ListingOutcome outcome = download.Run({"one", "two"}, folder.Path());
        const auto questions = download.host.Questions();
        ASSERT_EQ(questions.size(), c.questions);
        EXPECT_EQ(questions[0].fileLine, (folder.Path() / "one").string());
        EXPECT_TRUE(questions[0].existingLine.starts_with("7 Bytes, modified on, "))
            << questions[0].existingLine;
        EXPECT_EQ(Tree(folder.Path()), (std::map<std::string, std::string>{{"one", c.one}, {"two", c.two}}));
        EXPECT_EQ(download.host.LastDisplay().sessionPercent, c.sessionPercent);
        ASSERT_TRUE(outcome.ending);
        EXPECT_EQ(outcome.ending->message.text, c.ending ? c.ending : "");
    }
}

// Servers that fail mid-file on every try (a cancel: DownloadResume): no
// partial file under a real name, the old file intact, what arrived kept
// hidden for a later download; one message, and the rest of the run passed
// over but stepped. A connection that dies ends the run logged out, with that
// one message. Each ends with the truth: with errors, or (a directory that
// cannot be listed) that listing's failure.
TEST(DownloadFailures, NothingHalfWrittenSurvivesAFailedTransfer) {
    const std::string errors = "Transfer ended with errors: 0 of 2 files copied, 2 skipped (named above).";
    const struct {
        const char* mode;
        const char* message;
        bool connected;
        std::string ending; // said after the listing; empty: nothing
        bool kept;          // a part of big.bin stays for a later download
    } cases[] = {
        {"drop-retr", "Unable to download files from this FTP server", true, errors, true},
        {"short-226", "Unable to download files from this FTP server", true, errors, true},
        {"stall-data", "Unable to download files from this FTP server", false, "", false},
        // The log-in's own listing says so first.
        {"list-550", "The directory could not be listed: 550 Permission denied.", true,
         "The directory could not be listed: 550 Permission denied.", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        test::PyftpdlibServer server(c.mode);
        ASSERT_TRUE(server.Ready()) << server.Failure();
        server.PutFile("big.bin", std::string(3'000'000, 'n'));
        server.PutFile("next.txt", "next");
        test::TempDir folder;
        Write(folder.Path() / "big.bin", "old");
        Download download(server, {OverwriteAnswer::Yes}, 2s);
        const ListingOutcome outcome = download.Run({"big.bin", "next.txt"}, folder.Path());
        const auto kept = Kept(folder.Path());
        EXPECT_EQ(kept.size(), c.kept ? 1u : 0u);
        for (const auto& [name, size] : kept) {
            fs::remove(folder.Path() / name);
        }
        EXPECT_EQ(Tree(folder.Path()), (std::map<std::string, std::string>{{"big.bin", "old"}}));
        const auto messages = download.host.Messages();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, c.message);
        EXPECT_EQ(outcome.ending ? outcome.ending->message.text : "", c.ending);
        EXPECT_EQ(download.session.Connected(), c.connected);
    }
}

// Four connections at once. A server that lets this client have two still
// gives the whole tree, and files already there are asked about once: Yes To
// All holds on every connection. A lost connection costs its file only. A
// cancel mid-run leaves no part of a file anywhere, on any connection.
TEST(DownloadParallel, FewerConnectionsOneQuestionALostConnectionAndACleanCancel) {
    test::VsftpdServer limited(false, test::Tls::None, "max_per_ip=2\n");
    ASSERT_TRUE(limited.Ready()) << limited.Failure();
    limited.PutDirectory("D");
    for (int i = 0; i < 12; ++i) {
        limited.PutFile("D/f" + std::to_string(i), std::string(20000 + i, static_cast<char>('a' + i)));
    }
    test::TempDir folder;
    fs::create_directory(folder.Path() / "D");
    Write(folder.Path() / "D/f0", "old");
    Write(folder.Path() / "D/f7", "old");
    {
        Download download(limited, {OverwriteAnswer::YesToAll});
        const ListingOutcome outcome = download.Run({"D"}, folder.Path(), 4);
        EXPECT_EQ(Tree(folder.Path()), Tree(limited.Root()));
        EXPECT_EQ(download.host.Questions().size(), 1u);
        EXPECT_TRUE(download.host.Messages().empty());
        EXPECT_TRUE(outcome.ending && outcome.ending->complete);
    }

    // The first transfer of an extra connection ends it: that connection is
    // made again and its file goes on, and nothing is said.
    test::PyftpdlibServer paced("throttle-4mb,cut-extra");
    ASSERT_TRUE(paced.Ready()) << paced.Failure();
    std::vector<std::string> names;
    for (int i = 0; i < 8; ++i) {
        names.push_back("big" + std::to_string(i));
        paced.PutFile(names.back(), std::string(1'000'000, 'p'));
    }
    test::TempDir into;
    {
        Download download(paced);
        const ListingOutcome outcome = download.Run(names, into.Path(), 4);
        EXPECT_EQ(Tree(into.Path()), Tree(paced.Root()));
        EXPECT_TRUE(download.host.Messages().empty());
        EXPECT_TRUE(outcome.ending && outcome.ending->complete);
        EXPECT_TRUE(download.session.Connected());
    }
    fs::remove_all(into.Path());
    fs::create_directory(into.Path());
    Download download(paced);
    download.host.onTransfer = [&](const TransferDisplay& display) {
        if (display.filePercent != "0%" && !display.filePercent.empty()) {
            download.runs.Cancel(); // every connection mid-file
        }
    };
    const ListingOutcome outcome = download.Run(names, into.Path(), 4);
    EXPECT_EQ(Kept(into.Path()).size(), Tree(into.Path()).size()); // parts only
    EXPECT_EQ(outcome.ending ? outcome.ending->message.text : "", "Transfer cancelled: 0 of 8 files copied.");
}

// A session cut half-way through a file, then the server restarted in the
// middle of the next: the run logs in again each time and goes on from
// where the file stopped. Both arrive whole, and nothing is sent twice.
TEST(DownloadResume, GoesOnAfterACutAndAServerRestart) {
    test::PyftpdlibServer server("cut-half,record");
    ASSERT_TRUE(server.Ready()) << server.Failure();
    const std::string big = Numbered(20'000'000, 1);
    const std::string next = Numbered(30'000'000, 2);
    server.PutFile("big.bin", big);
    server.PutFile("next.bin", next);
    test::TempDir folder;
    Download download(server);
    bool restarted = false;
    download.host.onTransfer = [&](const TransferDisplay& display) {
        if (display.fileName == "next.bin" && display.filePercent == "10%" && !restarted) {
            restarted = server.Restart(); // the server's first RETR cuts again, after it
        }
    };
    const ListingOutcome outcome = download.Run({"big.bin", "next.bin"}, folder.Path(), 1, 5);
    EXPECT_TRUE(restarted);
    EXPECT_TRUE(download.host.Messages().empty());
    EXPECT_TRUE(outcome.ending && outcome.ending->complete);
    EXPECT_TRUE(Read(folder.Path() / "big.bin") == big);
    EXPECT_TRUE(Read(folder.Path() / "next.bin") == next);
    EXPECT_TRUE(Kept(folder.Path()).empty());
    const std::vector<std::uint64_t> offsets = Restarts(server);
    ASSERT_GE(offsets.size(), 2u);
    EXPECT_EQ(offsets[0], big.size() / 2); // all that came before the cut was kept
}

// Over SFTP, sshd dropping every session in the middle of a file: the run
// logs in again and reads only the rest: the file's first byte is changed
// behind its back (size and time kept): a download that started over would
// bring the change.
TEST(DownloadResume, GoesOnOverSftpAfterTheSessionWasDropped) {
    test::SshdServer server;
    ASSERT_TRUE(server.Ready()) << server.Failure();
    const std::string big = Numbered(40'000'000, 3);
    server.PutFile("big.bin", big);
    const fs::path remote = server.Root() / "big.bin";
    test::TempDir folder;
    Download download(server);
    bool dropped = false;
    download.host.onTransfer = [&](const TransferDisplay& display) {
        // On the run's thread: the file waits while the session goes.
        if (display.fileName == "big.bin" && !display.filePercent.empty() && display.filePercent != "0%" &&
            !dropped) {
            dropped = server.DropSessions();
            const auto time = fs::last_write_time(remote);
            server.PutFile("big.bin", "X" + big.substr(1));
            fs::last_write_time(remote, time);
        }
    };
    const ListingOutcome outcome = download.Run({"big.bin"}, folder.Path(), 1, 5);
    EXPECT_TRUE(dropped);
    EXPECT_TRUE(download.host.Messages().empty());
    EXPECT_TRUE(outcome.ending && outcome.ending->complete);
    EXPECT_TRUE(Read(folder.Path() / "big.bin") == big);
    EXPECT_TRUE(Kept(folder.Path()).empty());
}

// A file that came in two pieces is checked where the server offers a hash:
// when the hashes differ, it comes again from the start, once.
TEST(DownloadResume, AResumedFileIsCheckedWhereTheServerCan) {
    for (const char* mode : {"cut-half,hash,record", "cut-half,hash-wrong,record"}) {
        SCOPED_TRACE(mode);
        test::PyftpdlibServer server(mode);
        ASSERT_TRUE(server.Ready()) << server.Failure();
        const std::string content = Numbered(2'000'000, 5);
        server.PutFile("f.bin", content);
        test::TempDir folder;
        Download download(server);
        const ListingOutcome outcome = download.Run({"f.bin"}, folder.Path());
        EXPECT_TRUE(outcome.ending && outcome.ending->complete);
        EXPECT_TRUE(Read(folder.Path() / "f.bin") == content);
        const std::string log = server.ReadFile("../commands.log").value_or("");
        std::size_t retrieved = 0;
        for (std::size_t at = log.find("RETR "); at != std::string::npos; at = log.find("RETR ", at + 1)) {
            ++retrieved;
        }
        EXPECT_EQ(retrieved, std::string(mode).find("wrong") != std::string::npos ? 3u : 2u);
        EXPECT_NE(log.find("HASH f.bin"), std::string::npos);
    }
}

// A cancelled download keeps what arrived, and the next download of the same
// file goes on from it, without a question (on vsftpd too, which announces
// the whole file's length for the rest); once the remote file changed, the
// part is thrown away and the file comes whole from the start.
TEST(DownloadResume, ACancelledFileGoesOnNextTimeUnlessItChanged) {
    test::PyftpdlibServer server("throttle-4mb,record");
    ASSERT_TRUE(server.Ready()) << server.Failure();
    test::VsftpdServer paced(false, test::Tls::None, "local_max_rate=4000000\n");
    ASSERT_TRUE(paced.Ready()) << paced.Failure();
    test::TempDir folder;
    const auto cancelled = [&](const test::FtpServer& at, const std::string& content) {
        at.PutFile("big.bin", content);
        Download download(at);
        download.host.onTransfer = [&](const TransferDisplay& display) {
            if (display.filePercent == "30%") {
                download.runs.Cancel();
            }
        };
        download.Run({"big.bin"}, folder.Path());
        const auto kept = Kept(folder.Path());
        EXPECT_EQ(kept.size(), 1u);
        Restarts(at);
        return kept.empty() ? 0 : kept.begin()->second;
    };
    const std::string first = Numbered(8'000'000, 3);
    for (const test::FtpServer* at : std::initializer_list<const test::FtpServer*>{&server, &paced}) {
        const std::uintmax_t part = cancelled(*at, first);
        EXPECT_GT(part, 0u);
        EXPECT_LT(part, first.size());
        Download download(*at);
        download.Run({"big.bin"}, folder.Path());
        EXPECT_TRUE(download.host.Questions().empty() && download.host.Messages().empty());
        EXPECT_TRUE(Read(folder.Path() / "big.bin") == first);
        EXPECT_TRUE(Kept(folder.Path()).empty());
        if (at == &server) {
            EXPECT_EQ(Restarts(server), std::vector<std::uint64_t>{part});
        }
        fs::remove(folder.Path() / "big.bin");
    }
    cancelled(server, first);
    const std::string changed = Numbered(8'000'001, 4);
    server.PutFile("big.bin", changed);
    Download download(server);
    download.Run({"big.bin"}, folder.Path());
    EXPECT_TRUE(Read(folder.Path() / "big.bin") == changed);
    EXPECT_TRUE(Restarts(server).empty());
    EXPECT_TRUE(Kept(folder.Path()).empty());
}

// An extra connection whose server never greets holds up neither the files,
// which the others take, nor the run's end: its log-in is given up once
// nothing is left to do, long before its timeout (two minutes here, past the
// bound the run is waited for).
TEST(DownloadParallel, ALogInThatHangsHoldsUpNothing) {
    test::PyftpdlibServer server;
    ASSERT_TRUE(server.Ready()) << server.Failure();
    test::SilentServer silent;
    server.PutFile("one", "1");
    server.PutFile("two", "2");
    test::TempDir folder;
    Download download(server, {}, 120s);
    DownloadRequest request{{"one", "two"}, download.session.LoginDirectory(), folder.Path(), 3};
    request.more.emplace(download.session.Session(), SiteAddress{"127.0.0.1", silent.Port()},
                         server.Address().user, server.Address().password, std::nullopt);
    const ListingOutcome outcome = download.RunBench::Run<DownloadRun, ListingOutcome>(std::move(request));
    EXPECT_EQ(Tree(folder.Path()), (std::map<std::string, std::string>{{"one", "1"}, {"two", "2"}}));
    EXPECT_TRUE(outcome.ending && outcome.ending->complete);
}

// Over a link paced to 4 MiB/s, a display shown after two seconds of transfer
// gives the link's rate, within a fifth.
TEST(DownloadProgress, ShowsTheRateOfAThrottledLink) {
    test::PyftpdlibServer server("throttle-4mb");
    ASSERT_TRUE(server.Ready()) << server.Failure();
    server.PutFile("paced.bin", std::string(12'000'000, 'p'));
    test::TempDir folder;
    Download download(server);
    std::optional<std::chrono::steady_clock::time_point> started;
    std::string rate; // of the first display after two seconds
    download.host.onTransfer = [&](const TransferDisplay& display) {
        const auto now = std::chrono::steady_clock::now();
        if (display.filePosition > 0 && !started) {
            started = now;
        } else if (started && now - *started >= 2s && rate.empty()) {
            rate = display.throughput;
        }
    };
    download.Run({"paced.bin"}, folder.Path());
    ASSERT_TRUE(rate.ends_with(" KB/sec.")) << "shown after two seconds: " << rate;
    EXPECT_NEAR(std::stod(rate), 4096.0, 4096.0 / 5) << rate;
}

// Hidden files, names that cannot be used here, a directory the server refuses to enter and
// links of every kind: a link back to a parent, to "/" (vsftpd, which resolves
// it, would walk the whole machine), out of the selection and into it. Only
// the selected tree arrives, each directory once; what was passed over is
// named, and the rest of the run goes on. (pyftpdlib runs as root here and so
// enters any directory: only vsftpd refuses.)
TEST_P(DownloadTree, OnlyTheSelectedTreeArrivesWhateverItsLinksAndNames) {
    const bool vsftpd = GetParam() == test::ServerKind::Vsftpd;
    auto server = test::StartServer(GetParam());
    ASSERT_TRUE(server->Ready()) << server->Failure();
    for (const char* dir : {"top", "top/sub", "elsewhere"}) {
        server->PutDirectory(dir);
    }
    server->PutFile("top/back\\slash.txt", "unsafe");
    server->PutFile("top/fine.txt", "fine");
    server->PutFile("top/.hidden", "h"); // vsftpd lists it only when asked
    server->PutFile("top/sub/f", "f");
    server->PutFile("elsewhere/e", "e");
    const std::pair<const char*, const char*> links[] = {{"up", ".."},
                                                         {"outside", "../elsewhere"},
                                                         {"inside", "sub"},
                                                         {"filelink", "fine.txt"},
                                                         {"root", "/"}};
    for (const auto& [name, target] : links) {
        if (vsftpd || std::string_view(target) != "/") { // pyftpdlib refuses to enter "/" at all
            fs::create_symlink(target, server->Root() / "top" / name);
        }
    }
    if (vsftpd) {
        server->PutDirectory("top/locked");
        fs::permissions(server->Root() / "top/locked", fs::perms::none);
    }
    test::TempDir folder;
    Download download(*server);
    const ListingOutcome outcome = download.Run({"top"}, folder.Path());

    const std::map<std::string, std::string> expected{{"top/.hidden", "h"},     {"top", "<dir>"},
                                                      {"top/fine.txt", "fine"}, {"top/filelink", "fine"},
                                                      {"top/sub", "<dir>"},     {"top/sub/f", "f"}};
    EXPECT_EQ(Tree(folder.Path()), expected);
    const auto messages = download.host.Messages();
    std::string said;
    for (const auto& message : messages) {
        said += message.text + "\n--\n";
    }
    ASSERT_EQ(messages.size(), vsftpd ? 3u : 2u) << said; // unreadable, links not followed, the unsafe name
    const std::string& notFollowed = messages[vsftpd ? 1 : 0].text;
    for (const char* link : {"/top/up", "/top/outside"}) {
        EXPECT_NE(notFollowed.find(link), std::string::npos) << notFollowed;
    }
    EXPECT_EQ(notFollowed.find("/top/root") != std::string::npos, vsftpd) << notFollowed;
    // vsftpd and SFTP say where a link leads, and "inside" is walked at its
    // own place; pyftpdlib does not, so no link is followed there.
    EXPECT_EQ(notFollowed.find("/top/inside") != std::string::npos, GetParam() == test::ServerKind::Pyftpdlib)
        << notFollowed;
    if (vsftpd) {
        EXPECT_NE(messages[0].text.find("/top/locked"), std::string::npos) << messages[0].text;
    }
    EXPECT_NE(messages.back().text.find("back\\slash.txt"), std::string::npos) << messages.back().text;
    EXPECT_EQ(download.host.LastDisplay().sessionPercent, "100%"); // the unsafe name stepped too
    ASSERT_TRUE(outcome.ending);
    EXPECT_EQ(outcome.ending->message.text,
              "Transfer ended with errors: 4 of 5 files copied, 1 skipped (named above).");
}

// What no real server lists, from a scripted SFTP server: names holding "/",
// ".", "..", an empty name, control characters, a 300-byte name, and links
// in a loop and to their own parent. Only the plain file arrives, nothing
// lands beside the folder, and the run ends.
TEST(DownloadWalk, HostileNamesAndLinkLoopsLeadNowhere) {
    test::ScriptedSftpServer server("hostile");
    ASSERT_TRUE(server.Ready()) << server.Failure();
    test::TempDir outer;
    const fs::path into = outer.Path() / "into";
    fs::create_directory(into);
    Download download(server);
    const ListingOutcome outcome = download.Run({"hostile"}, into);

    EXPECT_EQ(Tree(outer.Path()),
              (std::map<std::string, std::string>{
                  {"into", "<dir>"}, {"into/hostile", "<dir>"}, {"into/hostile/normal.txt", "normal\n"}}));
    std::string said;
    for (const auto& message : download.host.Messages()) {
        said += message.text + "\n--\n";
    }
    EXPECT_NE(said.find("\"../escape.txt\""), std::string::npos) << said;
    ASSERT_TRUE(outcome.ending) << said;
    // The looping links are refused by the server, the rest never asked for.
    EXPECT_EQ(outcome.ending->message.text,
              "Transfer ended with errors: 1 of 9 files copied, 8 skipped (named above).");
}

// Cancel while the run is still counting: a listing the server never sends
// does not hold it (the connection's timeout is far beyond the bound here).
TEST(DownloadFailures, CancelWhileCountingEndsTheRunAtOnce) {
    test::PyftpdlibServer server("stall-sub");
    ASSERT_TRUE(server.Ready()) << server.Failure();
    server.PutDirectory("stall");
    server.PutFile("stall/f", "f");
    test::TempDir folder;
    Download download(server, {}, 120s);
    bool ended = false;
    ASSERT_TRUE(download.runs.Start(std::make_unique<DownloadRun>(
        DownloadRequest{{"stall"}, download.session.LoginDirectory(), folder.Path()},
        [&](ListingOutcome) { ended = true; })));
    ASSERT_TRUE(download.host.PumpUntil([&] { return fs::exists(server.Root().parent_path() / "stalled"); }));
    download.runs.Cancel();
    EXPECT_TRUE(download.host.PumpUntil([&] { return ended; }, 30s));
    EXPECT_TRUE(Tree(folder.Path()).empty());
    EXPECT_TRUE(download.host.Messages().empty());
}

// Download To naming a plain file, and a local folder where a remote file goes.
TEST(DownloadWalk, ALocalPathThatCannotTakeTheFileIsOneMessage) {
    auto server = test::StartServer(test::ServerKind::Pyftpdlib);
    ASSERT_TRUE(server->Ready()) << server->Failure();
    server->PutFile("name", "remote");
    server->PutFile("other", "remote");
    test::TempDir scratch;
    Write(scratch.Path() / "plain", "a file");
    fs::create_directory(scratch.Path() / "folder");
    fs::create_directory(scratch.Path() / "folder/name");
    const std::pair<fs::path, std::deque<OverwriteAnswer>> cases[] = {
        {scratch.Path() / "plain", {}},
        {scratch.Path() / "folder", {OverwriteAnswer::Yes}},
    };
    for (const auto& [into, answers] : cases) {
        SCOPED_TRACE(into);
        Download download(*server, answers);
        download.Run({"name", "other"}, into);
        const auto messages = download.host.Messages();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, "Unable to create file on local disk");
    }
    EXPECT_EQ(Read(scratch.Path() / "plain"), "a file");
    EXPECT_TRUE(fs::is_directory(scratch.Path() / "folder/name"));
    EXPECT_FALSE(fs::exists(scratch.Path() / "folder/other")); // the run stopped copying
}

} // namespace
} // namespace tidewell
