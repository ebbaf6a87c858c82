#pragma once

#include "core/remote/TreeBounds.h"
#include "core/session/ConnectionMaker.h"
#include "core/session/FileWorkers.h"
#include "core/session/ListingRun.h"
#include "core/transfer/TransferRun.h"
#include "core/transfer/UploadPlan.h"

#include <atomic>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tidewell {

class LocalFile;
class RemoteDirectories;
class RemoteFileSystem;
struct RemoteEntry;

// The upload run: connects when needed, moves to the site's directory and
// recreates the counted local paths in it, with the overwrite question for
// each remote file of the same name, progress, and cancel within one block.
// A file that replaces another is written under a temporary name and renamed
// over it only when whole, so a failure or a cancel never costs the old one.
// Remote directories are made or reused and addressed by their real path, so
// a directory that could not be made or entered, or a link that leads
// elsewhere, never receives another's files. At the end the connection is back
// in the site's directory, the listing is read again and the completion
// notice shown. Directories are made first, on the run's connection; the
// files then move over up to `connections` connections at once, each from the
// listings the run read once.
class UploadRun : public TransferRun {
public:
    using Done = std::function<void(ListingOutcome)>;

    // How a run uploads. `commandLine`: the paths came from the command line,
    // split at blanks, so none that names a file is said so. `more`: what
    // makes connections like the window's, when it is logged in; a run that
    // logs in itself makes its own.
    struct Options {
        bool commandLine = false;
        int connections = 1;
        std::optional<ConnectionMaker> more;
        // A file whose connection or transfer failed on the way is tried
        // again from what the server holds of it.
        FileWorkers::Retry retry{};
    };

    // The local paths are walked on the run's thread (a large folder or a slow
    // mount must not hold the window).
    UploadRun(RemoteSession& session, SiteProfile site, std::vector<std::filesystem::path> paths,
              Options options, Done done);

    bool LogsInItself() const override { return true; } // as its listing does
    void Execute(RunContext& context) override;
    void Finish() override { listing_.Finish(); }
    std::optional<UserMessage> EndingMessage() const override { return listing_.EndingMessage(); }

private:
    // A file to send, into a directory made or found.
    struct Job {
        std::string dir; // its real path
        const UploadStep* step;
    };
    // Makes the directories and says which files go where; two that would
    // land on the same remote name cannot go at once (`clash`).
    std::vector<Job> PlanFiles(const std::string& base, RemoteDirectories& remote, bool& clash);
    void SendFiles(const std::vector<Job>& jobs, RemoteDirectories& remote, bool clash);
    // The full remote path of a directory made or reused below parent;
    // std::nullopt when it can be neither.
    std::optional<std::string> OpenDirectory(const std::string& parent, const std::string& name,
                                             RemoteDirectories& remote);
    // One file, over the worker's connection; false when that connection was lost.
    bool UploadSinglePath(const std::string& dir, const UploadStep& step, FileWorkers::Worker& worker);

    enum class Sent { Whole, Cancelled, ReadFailed, Refused, Failed, Broken };
    // One file into dir under `name`, from the start of `local`; tried again
    // from what the server holds of it after a failure another try may mend.
    // `path`: where `local` is, for its hash.
    Sent SendAll(const std::string& dir, const std::string& name, LocalFile& local,
                 const std::filesystem::path& path, FileWorkers::Worker& worker);
    // One try, from byte `offset` of `local` on; Broken when another try may mend it.
    Sent Send(const std::string& dir, const std::string& name, LocalFile& local, RemoteDirectories& remote,
              std::uint64_t offset);
    enum class Replaced { Yes, Unsupported, Failed };
    static Replaced Replace(RemoteFileSystem& connection, const std::string& temporary,
                            const std::string& name);
    static bool RemoveQuietly(RemoteFileSystem& connection, const std::string& name);
    // The message for a file that was not sent whole; `overwritten` names a
    // file written over in place. A connection lost while others go on costs
    // that file only.
    void Report(Sent sent, const std::string& overwritten, const RemoteFileSystem& connection);
    static std::string TemporaryName(const std::string& name, const std::vector<RemoteEntry>* listed);

    ListingRun listing_;
    const std::vector<std::filesystem::path> paths_;
    Options options_;
    bool parallel_ = false; // files move over more than one connection
    UploadPlan plan_;
    TreeBounds bounds_;
    std::atomic<bool> directWrites_{false}; // the server cannot rename: files are written over in place
    bool lost_ = false;                     // the run's connection, while directories are made
    bool saidPermission_ = false;
    bool saidRemote_ = false;
    bool saidLocal_ = false;
    bool saidInTheWay_ = false;
};

} // namespace tidewell
