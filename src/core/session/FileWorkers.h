#pragma once

#include <atomic>
#include <cstddef>
#include <functional>

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
    // job: the index of the job and the directories of the connection to do
    // it on; false when that connection can do no more (it was lost).
    using Job = std::function<bool(std::size_t job, RemoteDirectories& directories)>;

    // Returns once every job was taken and done, `stop` was set, or no
    // connection is left. own: the run's connection, with what the run knows
    // of its directories; maker: none, and only that connection works.
    static void Run(std::size_t jobs, RemoteDirectories& own, const ConnectionMaker* maker, int connections,
                    const std::atomic<bool>& stop, const Job& job);

    // Readies the run's own connection to work beside others; to be called
    // before its first listing or transfer (see RemoteFileSystem::UsePassive).
    // Nothing when the run will have no other connection.
    static void PrepareOwn(RemoteFileSystem& own, const ConnectionMaker* maker, int connections);
};

} // namespace tidewell
