#include "core/session/FileWorkers.h"

#include "core/remote/CancelScope.h"
#include "core/remote/RemoteDirectories.h"
#include "core/remote/RemoteFileSystem.h"
#include "core/session/ConnectionMaker.h"

#include <algorithm>
#include <memory>
#include <thread>
#include <vector>

namespace tidewell {

void FileWorkers::Run(std::size_t jobs, RemoteDirectories& own, const ConnectionMaker* maker, int connections,
                      const std::atomic<bool>& stop, const Job& job) {
    std::atomic<std::size_t> next{0};
    const auto work = [&](RemoteDirectories& directories) {
        while (!stop) {
            const std::size_t taken = next++;
            if (taken >= jobs || !job(taken, directories)) {
                return;
            }
        }
    };
    // No more connections than files: a log-in costs more than it saves.
    const std::size_t extra =
        maker == nullptr ? 0
                         : std::min<std::size_t>(static_cast<std::size_t>(std::max(connections, 1)) - 1,
                                                 jobs > 0 ? jobs - 1 : 0);
    // Set once the run's own connection finds nothing more to do: a log-in
    // still under way then has nothing to do either, and is given up at once
    // rather than holding the run's end (or its cancel) until it succeeds or
    // times out.
    std::atomic<bool> unwanted{false};
    // Taken before the run's own connection starts changing it.
    const RemoteDirectories::Known known = extra > 0 ? own.Knowledge() : RemoteDirectories::Known{};
    std::vector<std::jthread> threads;
    threads.reserve(extra);
    for (std::size_t i = 0; i < extra; ++i) {
        threads.emplace_back([&] {
            // Made on its own thread, so that the first files start at once on the run's connection.
            std::unique_ptr<RemoteFileSystem> connection;
            {
                const CancelScope giveUp(unwanted);
                connection = maker->Connect();
            }
            if (connection) {
                RemoteDirectories directories(*connection, known);
                work(directories);
            }
        });
    }
    work(own);
    // Not when the run's own connection was lost with files left: the others take them.
    if (stop || next >= jobs) {
        unwanted = true;
    }
}

void FileWorkers::PrepareOwn(RemoteFileSystem& own, const ConnectionMaker* maker, int connections) {
    if (maker != nullptr && connections > 1) {
        own.UsePassive();
    }
}

} // namespace tidewell
