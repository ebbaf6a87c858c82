// The upload run alone, without a window: the run controller and a host that
// shows nothing. The run logs in itself, moves to DIRECTORY (relative to the
// login directory) and uploads the local PATHs into it; with --yes-to-all the
// first overwrite question is answered Yes To All. CONNECTIONS: files at
// once, as File > Parallel Connections; 1 unless set.
//   upload_run HOST:PORT USER PASSWORD DIRECTORY [--yes-to-all] PATH...
// Prints, for the run (log-in included): seconds, CPU seconds of the process,
// growth of its resident size in MB and the number of displays handed over.
#include "HeadlessRunHost.h"
#include "ProcessMeter.h"

#include "core/session/RemoteSession.h"
#include "core/transfer/UploadRun.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace tidewell;

int main(int argc, char** argv) {
    if (argc < 6) {
        std::fprintf(stderr, "usage: upload_run HOST:PORT USER PASSWORD DIRECTORY [--yes-to-all] PATH...\n");
        return 2;
    }
    bench::HeadlessRunHost host;
    int first = 5;
    if (std::string(argv[first]) == "--yes-to-all") {
        host.overwriteAnswer = OverwriteAnswer::YesToAll;
        ++first;
    }
    RemoteSession session;
    RunController runs(host, session);
    const std::vector<std::filesystem::path> paths(argv + first, argv + argc);
    const char* connections = std::getenv("CONNECTIONS");

    bench::ProcessMeter meter;
    meter.Start();
    bool ended = false;
    bool complete = false;
    const bool started = runs.Start(std::make_unique<UploadRun>(
        session, SiteProfile{argv[1], argv[2], argv[3], argv[4]}, paths,
        UploadRun::Options{false, connections ? std::max(1, std::atoi(connections)) : 1, std::nullopt},
        [&](ListingOutcome outcome) {
            complete = outcome.ending && outcome.ending->complete;
            ended = true;
        }));
    // 2,000 files behind a 50 ms round trip (latency-bench.sh) take most of ten minutes.
    return host.MeasureRun(meter, started, ended, complete, std::chrono::seconds(1800));
}
