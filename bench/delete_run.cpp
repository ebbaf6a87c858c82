// The delete run alone, without a window: logs in, lists DIRECTORY (relative
// to the login directory; "" is the login directory itself) and deletes the
// named directories of it with everything below them, as the window does once
// the confirmation and the "contains files" question are answered Yes and OK.
//   delete_run HOST:PORT USER PASSWORD DIRECTORY NAME...
// Prints, for the delete alone (from starting the run until it has ended):
// seconds, CPU seconds of the process, growth of its resident size in MB and
// the number of displays the run handed over.
#include "HeadlessRunHost.h"
#include "ProcessMeter.h"

#include "core/manage/DeleteRun.h"
#include "core/session/ListingRun.h"
#include "core/session/RemoteSession.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

using namespace tidewell;

namespace {

constexpr std::chrono::seconds kBound{1800};

// The two questions a tree delete asks are answered as the user who wants it
// gone does; any other message still counts as a failure.
class DeletingHost : public bench::HeadlessRunHost {
public:
    Answer Ask(const UserMessage& message) override {
        if (message.caption == "Delete Confirmation") {
            return Answer::Yes;
        }
        if (message.caption == "QUESTION") {
            return Answer::Ok;
        }
        return HeadlessRunHost::Ask(message);
    }
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 6) {
        std::fprintf(stderr, "usage: delete_run HOST:PORT USER PASSWORD DIRECTORY NAME...\n");
        return 2;
    }
    DeletingHost host;
    RemoteSession session;
    RunController runs(host, session);
    std::optional<ListingOutcome> outcome;
    // The listing run logs in and moves to the directory the rows belong to.
    const bool listed =
        runs.Start(std::make_unique<ListingRun>(session, SiteProfile{argv[1], argv[2], argv[3], argv[4]},
                                                [&](ListingOutcome done) { outcome = std::move(done); })) &&
        host.PumpUntil([&] { return outcome.has_value(); }, kBound) && outcome->connected &&
        outcome->listing && !outcome->listing->failure;
    if (!listed) {
        std::fprintf(stderr, "could not log in and list the directory\n");
        return 1;
    }
    DeleteRequest request;
    for (int i = 5; i < argc; ++i) {
        request.rows.push_back({argv[i], true});
    }
    const std::size_t rows = request.rows.size();
    // CONNECTIONS: a tree's files at once, as File > Parallel Connections; 1 unless set.
    if (const char* connections = std::getenv("CONNECTIONS")) {
        request.connections = std::max(1, std::atoi(connections));
        request.more = session.MoreConnections();
    }

    bench::ProcessMeter meter;
    meter.Start();
    bool ended = false;
    bool complete = false;
    const bool started = runs.Start(std::make_unique<DeleteRun>(std::move(request), [&](DeleteOutcome done) {
        complete = done.deleted.size() == rows && done.listing.connected;
        ended = true;
    }));
    return host.MeasureRun(meter, started, ended, complete, kBound);
}
