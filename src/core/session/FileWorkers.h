#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>

namespace tidewell {

class ConnectionMaker;
class RemoteDirectories;
class RemoteFileSystem;

// Does the files of a run over several connections at once: the run's own,
// on the calling thread, and up to `connections` - 1 more, each made and used
// on a thread of its own. Every connection takes the next job as soon as it
// is free, so a slow file holds up no other. A connection the server will not
// give (too many connections) or that is lost leaves its share to the
// others; the run goes on with fewer. Each connection starts from what the
// run's own knows of the directories, so none lists a directory again.
class FileWorkers {
public:
    // How often one file is tried in all, and the wait before the first retry
    // (doubled for each next one): long enough together for a server that
    // restarts to come back.
    struct Retry {
        int attempts = 5;
        std::chrono::milliseconds firstWait{1000};
    };
    // What lets a run try a file again after a failure that another try may
    // mend: the slot of the run's own connection, which a reconnect refills.
    struct Recovery {
        std::unique_ptr<RemoteFileSystem>& own;
        Retry retry;
        const std::atomic<bool>& cancel;
    };

    // The connection a job runs on, and the way back to a working one.
    class Worker {
    public:
        Worker(RemoteDirectories& directories, std::unique_ptr<RemoteFileSystem>* slot,
               const ConnectionMaker* maker, const Recovery* recovery, const std::atomic<bool>& stop)
            : directories_(directories), slot_(slot), maker_(maker), recovery_(recovery), stop_(stop) {}

        RemoteDirectories& Directories() { return directories_; }
        // After a failure another try may mend: waits (longer after each
        // retry, `retries` counting them) and makes a new connection when
        // this one is gone. True when the job may try again; false when the
        // tries are used up, the run stops, or no connection can be had.
        bool Recover(int& retries);

    private:
        bool Pause(std::chrono::milliseconds wait) const;

        RemoteDirectories& directories_;
        std::unique_ptr<RemoteFileSystem>* slot_;
        const ConnectionMaker* maker_;
        const Recovery* recovery_;
        const std::atomic<bool>& stop_;
    };

    // job: the index of the job and the worker to do it with; false when that
    // worker's connection can do no more (it was lost).
    using Job = std::function<bool(std::size_t job, Worker& worker)>;

    // Returns once every job was taken and done, `stop` was set, or no
    // connection is left. own: the run's connection, with what the run knows
    // of its directories; maker: none, and only that connection works.
    // recovery: none, and a job is never tried again.
    static void Run(std::size_t jobs, RemoteDirectories& own, const ConnectionMaker* maker, int connections,
                    const std::atomic<bool>& stop, const Job& job, const Recovery* recovery = nullptr);

    // Readies the run's own connection to work beside others; to be called
    // before its first listing or transfer (see RemoteFileSystem::UsePassive).
    // Nothing when the run will have no other connection.
    static void PrepareOwn(RemoteFileSystem& own, const ConnectionMaker* maker, int connections);
};

} // namespace tidewell
