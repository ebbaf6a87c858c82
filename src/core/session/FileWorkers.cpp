#include "core/session/FileWorkers.h"

#include "core/remote/CancelScope.h"
#include "core/remote/RemoteDirectories.h"
#include "core/remote/RemoteFileSystem.h"
#include "core/session/ConnectionMaker.h"

#include <algorithm>
#include <thread>
#include <vector>

namespace tidewell {

bool FileWorkers::Worker::Pause(std::chrono::milliseconds wait) const {
    const auto until = std::chrono::steady_clock::now() + wait;
    while (!stop_ && !recovery_->cancel) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= until) {
            return true;
        }
        // A cancel is seen within this slice.
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(until - now, std::chrono::milliseconds(20)));
    }
    return false;
}

bool FileWorkers::Worker::Recover(int& retries) {
    if (recovery_ == nullptr) {
        return false;
    }
    const Retry& retry = recovery_->retry;
    while (retries + 1 < retry.attempts) {
        if (!Pause(retry.firstWait * (1 << std::min(retries, 5)))) {
            return false;
        }
        ++retries;
        if (directories_.Connection().IsConnected()) {
            return true; // only the transfer failed: the same connection tries again
        }
        if (maker_ == nullptr) {
            return false;
        }
        std::unique_ptr<RemoteFileSystem> fresh;
        {
            const CancelScope cancellable(recovery_->cancel);
            fresh = maker_->Connect();
        }
        if (fresh) {
            directories_.Reattach(*fresh);
            *slot_ = std::move(fresh);
            return true;
        }
    }
    return false;
}

void FileWorkers::Run(std::size_t jobs, RemoteDirectories& own, const ConnectionMaker* maker, int connections,
                      const std::atomic<bool>& stop, const Job& job, const Recovery* recovery) {
    std::atomic<std::size_t> next{0};
    const auto work = [&](Worker& worker) {
        while (!stop) {
            const std::size_t taken = next++;
            if (taken >= jobs || !job(taken, worker)) {
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
                Worker worker(directories, &connection, maker, recovery, stop);
                work(worker);
            }
        });
    }
    Worker ownWorker(own, recovery != nullptr ? &recovery->own : nullptr, maker, recovery, stop);
    work(ownWorker);
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
