// The download run alone, without a window: the run controller and a host
// that shows nothing. Logs in, lists DIRECTORY (relative to the login
// directory; "" is the login directory itself) and downloads the named
// entries of it, or every file it holds (--all-files), into FOLDER.
//   download_run HOST:PORT USER PASSWORD DIRECTORY FOLDER NAME...|--all-files
// Prints, for the download alone (from starting the run until it has ended):
// seconds, CPU seconds of the process, growth of its resident size in MB and
// the number of displays the run handed over.
#include "HeadlessRunHost.h"
#include "ProcessMeter.h"

#include "core/session/ListingRun.h"
#include "core/session/RemoteSession.h"
#include "core/transfer/DownloadRun.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

using namespace tidewell;

namespace {

// 2,000 files behind a 50 ms round trip (latency-bench.sh) take most of ten minutes.
constexpr std::chrono::seconds kBound{1800};

// Lists a directory of the site (logging in first when needed); nullopt after a failure.
std::optional<ListingResult> List(RunController& runs, bench::HeadlessRunHost& host, RemoteSession& session,
                                  SiteProfile site) {
    std::optional<ListingOutcome> outcome;
    if (!runs.Start(std::make_unique<ListingRun>(session, std::move(site),
                                                 [&](ListingOutcome done) { outcome = std::move(done); })) ||
        !host.PumpUntil([&] { return outcome.has_value(); }, kBound) || !outcome->connected ||
        !outcome->listing || outcome->listing->failure) {
        return std::nullopt;
    }
    return std::move(outcome->listing);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 7) {
        std::fprintf(stderr,
                     "usage: download_run HOST:PORT USER PASSWORD DIRECTORY FOLDER NAME...|--all-files\n");
        return 2;
    }
    bench::HeadlessRunHost host;
    RemoteSession session;
    RunController runs(host, session);
    SiteProfile site{argv[1], argv[2], argv[3], ""};
    std::optional<ListingResult> listing = List(runs, host, session, site);
    std::string base = session.LoginDirectory();
    const std::string directory = argv[4];
    if (listing && !directory.empty()) {
        base = directory.starts_with('/') ? directory : base + (base.ends_with('/') ? "" : "/") + directory;
        site.directory = base;
        listing = List(runs, host, session, site);
    }
    if (!listing) {
        std::fprintf(stderr, "could not log in and list the directory\n");
        return 1;
    }
    DownloadRequest request{{}, base, argv[5]};
    // As the window does: what makes more connections, for a reconnect too.
    request.more = session.MoreConnections();
    // CONNECTIONS: files at once, as File > Parallel Connections; 1 unless set.
    if (const char* connections = std::getenv("CONNECTIONS")) {
        request.connections = std::max(1, std::atoi(connections));
    }
    if (std::string(argv[6]) == "--all-files") {
        for (const RemoteFile& file : listing->files.files) {
            request.names.push_back(file.name);
        }
    } else {
        request.names.assign(argv + 6, argv + argc);
    }

    bench::ProcessMeter meter;
    meter.Start();
    bool ended = false;
    bool complete = false;
    const bool started =
        runs.Start(std::make_unique<DownloadRun>(std::move(request), [&](ListingOutcome outcome) {
            complete = outcome.ending && outcome.ending->complete;
            ended = true;
        }));
    const int result = host.MeasureRun(meter, started, ended, complete, kBound);
    // FTP_LOG: the connections' dialogue, on stderr, to see what a failed run went through.
    if (std::getenv("FTP_LOG") != nullptr) {
        for (const auto& entry : session.Log()->After(0)) {
            std::fprintf(stderr, "%s\n", entry->line.Display().c_str());
        }
    }
    return result;
}
