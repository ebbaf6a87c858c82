#include "core/session/FileWorkers.h"

#include "core/remote/RemoteDirectories.h"
#include "core/remote/RemoteFileSystem.h"
#include "core/session/ConnectionMaker.h"

#include <algorithm>
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
    if (extra > 0) {
        own.Connection().UsePassive();
    }
    std::vector<std::jthread> threads;
    threads.reserve(extra);
    for (std::size_t i = 0; i < extra; ++i) {
        threads.emplace_back([&] {
            // Made on its own thread, so that the first files start at once on the run's connection.
            if (auto connection = maker->Connect()) {
                RemoteDirectories directories(*connection);
                work(directories);
            }
        });
    }
    work(own);
}

} // namespace tidewell
