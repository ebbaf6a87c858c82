#include "core/transfer/UploadRun.h"

#include "core/remote/CancelScope.h"
#include "core/remote/RemoteDirectories.h"
#include "core/remote/RemoteFileSystem.h"
#include "core/session/FileWorkers.h"
#include "core/transfer/LocalFile.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <random>
#include <set>
#include <utility>
#include <vector>

namespace tidewell {

namespace {

constexpr const char* kNoPermission =
    "Could not transfer directory, you do not have permission to create directories on the FTP server";
constexpr const char* kRemoteFailure = "Unable to upload files to this FTP server";
constexpr const char* kLocalFailure = "Unable to read file on local disk";
constexpr const char* kPreparingText = "Preparing To Upload, Please Wait...";

} // namespace

UploadRun::UploadRun(RemoteSession& session, SiteProfile site, std::vector<std::filesystem::path> paths,
                     Options options, Done done)
    : listing_(session, std::move(site), std::move(done)), paths_(std::move(paths)),
      options_(std::move(options)) {}

void UploadRun::Execute(RunContext& context) {
    context_ = &context;
    progress_.StartRun();
    progress_.SetFileName(kPreparingText);
    Publish(true);
    plan_ = UploadPlan::CountLocalFiles(paths_, &context.cancel);
    if (context.cancel || (options_.commandLine && plan_.FileCount() < 1)) {
        if (!context.cancel) {
            // Named, so that a mistyped path is seen for what it is.
            TellSkipped("Could Not Transfer files - the command line names nothing to upload:",
                        plan_.Skipped());
        }
        progress_.ResetDisplay();
        Publish(true);
        listing_.Conclude(context, false);
        return;
    }
    progress_.SetFileName({});
    if (!context.connection) {
        progress_.SetFileName(kListingWaitText);
    }
    Publish(true);
    bool ready = false;
    {
        // Until the upload starts, a cancel abandons the attempt at once, even
        // against a server that never answers, as a log-in does.
        const CancelScope cancellable(context.cancel);
        ready = listing_.Prepare(context);
    }
    if (context.cancel && context.connection) {
        // Whatever the connection was in the middle of, it cannot be trusted now.
        context.connection.reset();
        ready = false;
    }
    progress_.SetFileName({});
    progress_.ResetSession(plan_.FileCount());
    CountAsked(plan_.FileCount() + static_cast<std::int64_t>(plan_.Skipped().size()));
    Publish(true);
    std::string base;
    if (ready) {
        base = context.connection->RealPath().value_or(std::string());
    }
    const bool known = !base.empty();
    if (known) {
        TellSkipped("These local files were not uploaded:", plan_.Skipped());
        RemoteDirectories remote(*context.connection);
        bounds_.AddRoot(base);
        if (!options_.more) {
            options_.more = listing_.MoreConnections(*context.connection);
        }
        FileWorkers::PrepareOwn(*context.connection, options_.more ? &*options_.more : nullptr,
                                options_.connections);
        bool clash = false;
        const std::vector<Job> jobs = PlanFiles(base, remote, clash);
        SendFiles(jobs, remote, clash);
        TellSkipped("These remote directories are links that lead elsewhere; what belongs in them was not "
                    "uploaded:",
                    bounds_.Outside());
        if (!bounds_.Outside().empty()) {
            CountLeftOut();
        }
    } else if (ready) {
        Fail(kRemoteFailure, saidRemote_); // the server would not say where the run starts
    }
    progress_.EndRun();
    Publish(true);
    // Back to where the run started, by the full path the server gave: the
    // site's directory may be relative.
    const bool back = known && !DropIfLost(saidRemote_) && context.connection->Enter(base);
    listing_.Conclude(context, back);
    if (back && context.connection) {
        listing_.SetEnding(Ending());
    } else {
        // No listing to say the end after: the window is logged out or kept its list.
        progress_.ResetDisplay();
        Publish(true);
    }
}

std::vector<UploadRun::Job> UploadRun::PlanFiles(const std::string& base, RemoteDirectories& remote,
                                                 bool& clash) {
    std::vector<Job> jobs;
    std::set<std::pair<std::string, std::string>> targets;
    // Where each open level's files go; std::nullopt below a directory that
    // could not be made or entered, whose contents are passed over.
    std::vector<std::optional<std::string>> levels{base};
    for (const UploadStep& step : plan_.Steps()) {
        if (Cancelled() || lost_) {
            break;
        }
        switch (step.kind) {
        case UploadStep::Kind::EnterDirectory:
            levels.push_back(levels.back() && !stopped_ ? OpenDirectory(*levels.back(), step.name, remote)
                                                        : std::nullopt);
            break;
        case UploadStep::Kind::LeaveDirectory:
            levels.pop_back();
            break;
        case UploadStep::Kind::CopyFile:
            if (!stopped_ && levels.back()) {
                // Read now, so that no connection lists it again.
                remote.List(*levels.back());
                clash = !targets.emplace(*levels.back(), step.name).second || clash;
                jobs.push_back({*levels.back(), &step});
            } else {
                StepSession();
            }
            break;
        }
    }
    return jobs;
}

void UploadRun::SendFiles(const std::vector<Job>& jobs, RemoteDirectories& remote, bool clash) {
    // Files made before an error in making the directories still go.
    const bool stoppedBefore = stopped_.exchange(false);
    // A second file of the same name waits for the first (and its question).
    const ConnectionMaker* maker = options_.more && !clash && !lost_ ? &*options_.more : nullptr;
    parallel_ = maker != nullptr && options_.connections > 1 && jobs.size() > 1;
    progress_.SetParallel(parallel_);
    std::atomic<bool> stop{false};
    const FileWorkers::Recovery recovery{context_->connection, options_.retry, context_->cancel};
    FileWorkers::Run(
        jobs.size(), remote, options_.more && !lost_ ? &*options_.more : nullptr,
        maker != nullptr ? options_.connections : 1, stop,
        [&](std::size_t job, FileWorkers::Worker& worker) {
            const bool connected = stopped_ || UploadSinglePath(jobs[job].dir, *jobs[job].step, worker);
            StepSession();
            stop = Cancelled();
            return connected;
        },
        &recovery);
    stopped_ = stopped_ || stoppedBefore;
    progress_.SetFileName({});
}

std::optional<std::string> UploadRun::OpenDirectory(const std::string& parent, const std::string& name,
                                                    RemoteDirectories& remote) {
    RemoteFileSystem& connection = *context_->connection;
    const std::string path = RemoteDirectories::Join(parent, name);
    const RemoteEntry* existing = remote.Find(parent, name);
    if (existing != nullptr && !existing->directory && !existing->link) {
        Tell("Could not transfer directory \"" + name + "\": the FTP server holds a file of that name",
             saidInTheWay_);
        return std::nullopt;
    }
    const bool link = existing != nullptr && existing->link;
    // When the parent could not be listed, making it is tried anyway: a
    // refusal may mean it is there already, which entering it tells.
    if (existing == nullptr && connection.MakeDirectory(path)) {
        remote.NoteCreated(parent, name);
    }
    const std::optional<std::string> real = remote.EnterReal(path);
    if (!real) {
        lost_ = !connection.IsConnected();
        Fail(kNoPermission, saidPermission_);
        return std::nullopt;
    }
    if (const auto verdict = bounds_.Admit(path, *real, link); verdict != TreeBounds::Verdict::Walk) {
        if (verdict == TreeBounds::Verdict::Seen) {
            bounds_.NoteOutside(path); // its files would go nowhere else: named too
        }
        return std::nullopt;
    }
    return *real;
}

bool UploadRun::UploadSinglePath(const std::string& dir, const UploadStep& step,
                                 FileWorkers::Worker& worker) {
    RemoteDirectories& remote = worker.Directories();
    std::optional<LocalFile> local = LocalFile::Open(step.local);
    ShowProgress(&remote, true, true, [&](TransferProgress& progress) {
        progress.BeginFile(step.name, local ? local->Size() : 0);
    });
    if (!local) {
        Fail(kLocalFailure, saidLocal_);
        return true;
    }
    const std::vector<RemoteEntry>* listed = remote.List(dir);
    const RemoteEntry* existing = remote.Find(dir, step.name);
    if (existing != nullptr) {
        if (existing->directory) {
            Tell("Could not upload \"" + step.name + "\": the FTP server holds a directory of that name",
                 saidInTheWay_);
            return true;
        }
        if (!MayReplace({step.name, VersionLine(existing->size, existing->time),
                         VersionLine(local->Size(), local->Time())})) {
            return true;
        }
    }
    if (Cancelled()) {
        return true;
    }
    // What is there already (or may be, when the directory could not be
    // listed) survives until the new file is whole: it is written under a
    // temporary name and renamed over the old one once the server confirmed it.
    const bool replacing = existing != nullptr || listed == nullptr;
    if (replacing && !directWrites_) {
        const std::string temporary = TemporaryName(step.name, listed);
        const Sent sent = SendAll(dir, temporary, *local, step.local, worker);
        RemoteFileSystem& connection = remote.Connection();
        if (sent != Sent::Whole) {
            RemoveQuietly(connection, temporary);
            Report(sent, {}, connection);
            return connection.IsConnected();
        }
        switch (Replace(connection, temporary, step.name)) {
        case Replaced::Yes:
            CountCopied();
            remote.Forget(dir, temporary);
            remote.Note(
                dir, {step.name, local->Size(), static_cast<std::int64_t>(std::time(nullptr)), false, false});
            return true;
        case Replaced::Failed:
            remote.Note(
                dir, {temporary, local->Size(), static_cast<std::int64_t>(std::time(nullptr)), false, false});
            Fail(std::string(kRemoteFailure) + ": the new \"" + step.name + "\" is on the server as \"" +
                     temporary + "\", and the old one may be gone",
                 saidRemote_);
            return connection.IsConnected();
        case Replaced::Unsupported:
            // This server cannot rename: the old file can only be written over.
            RemoveQuietly(connection, temporary);
            directWrites_ = true;
            local.reset(); // read again from the start
            if (std::optional<LocalFile> again = LocalFile::Open(step.local)) {
                local.emplace(std::move(*again));
            } else {
                Fail(kLocalFailure, saidLocal_);
                return true;
            }
            break;
        }
    }
    const Sent sent = SendAll(dir, step.name, *local, step.local, worker);
    RemoteFileSystem& connection = remote.Connection();
    if (sent == Sent::Whole) {
        CountCopied();
        remote.Note(dir,
                    {step.name, local->Size(), static_cast<std::int64_t>(std::time(nullptr)), false, false});
        return true;
    }
    // A partial file is never left under the real name: without a file there
    // before, a failure after STOR was accepted (a TLS handshake included)
    // leaves nothing that anyone had.
    if (sent != Sent::Refused || existing == nullptr) {
        if (RemoveQuietly(connection, step.name)) {
            remote.Forget(dir, step.name);
        } else {
            remote.Note(dir, {step.name, 0, static_cast<std::int64_t>(std::time(nullptr)), false, false});
        }
    }
    Report(sent, existing != nullptr && sent != Sent::Refused ? step.name : std::string(), connection);
    return connection.IsConnected();
}

UploadRun::Sent UploadRun::SendAll(const std::string& dir, const std::string& name, LocalFile& local,
                                   const std::filesystem::path& path, FileWorkers::Worker& worker) {
    std::uint64_t offset = 0;
    bool resumed = false;
    bool sentAgain = false;
    for (int retries = 0;;) {
        const Sent sent = Send(dir, name, local, worker.Directories(), offset);
        resumed = resumed || offset > 0;
        if (sent == Sent::Whole && resumed && !sentAgain) {
            // Pieces from two transfers: where the server can tell, the whole
            // is checked, and a file that differs is sent again from the start once.
            RemoteFileSystem& connection = worker.Directories().Connection();
            if (CompareWhole(connection, name, path) == Compared::Different) {
                sentAgain = true;
                resumed = false;
                offset = 0;
                connection.Delete(name);
                if (!local.Seek(0)) {
                    return Sent::ReadFailed;
                }
                continue;
            }
        }
        if (sent == Sent::Refused && offset > 0) {
            offset = 0; // the server will not go on from there (REST refused): from the start
            if (!local.Seek(0)) {
                return Sent::ReadFailed;
            }
            continue;
        }
        if (sent != Sent::Broken) {
            return sent;
        }
        if (!worker.Recover(retries)) {
            return Sent::Failed;
        }
        // On from what the server holds, when this is still the file it came from.
        RemoteDirectories& remote = worker.Directories();
        std::optional<std::uint64_t> held;
        if (local.Unchanged() && remote.Enter(dir)) {
            held = remote.Connection().Size(name);
        }
        offset = held && *held <= static_cast<std::uint64_t>(local.Size()) ? *held : 0;
        if (!local.Seek(offset)) {
            return Sent::ReadFailed;
        }
    }
}

UploadRun::Sent UploadRun::Send(const std::string& dir, const std::string& name, LocalFile& local,
                                RemoteDirectories& remote, std::uint64_t offset) {
    RemoteFileSystem& connection = remote.Connection();
    bool opened = false;
    try {
        if (!remote.Enter(dir)) {
            throw RemoteError(0, connection.LastReply(), "the directory could not be entered");
        }
        auto file = connection.Open(name, RemoteFileSystem::Access::Write, offset);
        opened = true;
        std::uint64_t sent = offset;
        if (offset > 0) {
            ShowProgress(&remote, false, true, [&](TransferProgress& progress) {
                progress.BeginFile(name, local.Size());
                progress.StepFile(BlocksOf(0, static_cast<std::size_t>(offset)));
            });
        }
        for (std::size_t got = RemoteStream::kMostWriteSpace; got == RemoteStream::kMostWriteSpace;) {
            if (Cancelled()) {
                file->Close(); // abandons the transfer; the connection stays usable
                return Sent::Cancelled;
            }
            const BlockClock::time_point start = BlockClock::now();
            // Read straight into what goes on the wire: no copy, and one call per send.
            const std::optional<std::size_t> read =
                local.Read(file->WriteSpace(RemoteStream::kMostWriteSpace), RemoteStream::kMostWriteSpace);
            if (!read) {
                file->Close();
                return Sent::ReadFailed;
            }
            got = *read;
            file->CommitWrite(got);
            const std::int64_t blocks = BlocksOf(sent, got);
            sent += got;
            ShowProgress(&remote, false, false,
                         [&](TransferProgress& progress) { progress.StepFile(blocks); });
            ShowBlock(&remote, start, BlockClock::now(), static_cast<std::int64_t>(got));
        }
        file->Flush();
        file->Close();
    } catch (const RemoteError& failure) {
        if (!opened && offset > 0 && connection.IsConnected()) {
            return Sent::Refused; // going on from there was refused (proftpd needs AllowStoreRestart)
        }
        if (WorthRetrying(failure, connection.IsConnected())) {
            return Sent::Broken;
        }
        return opened ? Sent::Failed : Sent::Refused;
    }
    return Cancelled() ? Sent::Cancelled : Sent::Whole;
}

UploadRun::Replaced UploadRun::Replace(RemoteFileSystem& connection, const std::string& temporary,
                                       const std::string& name) {
    const RemoteFileSystem::Renamed renamed = connection.RenameAtOnce(temporary, name);
    if (!renamed.from) {
        return connection.IsConnected() ? Replaced::Unsupported : Replaced::Failed;
    }
    if (renamed.to) {
        return Replaced::Yes;
    }
    // Some servers will not rename onto an existing name: the old file goes
    // only now, when the new one is whole beside it.
    const bool moved =
        connection.Delete(name) && connection.RenameFrom(temporary) && connection.RenameTo(name);
    return moved ? Replaced::Yes : Replaced::Failed;
}

// Tried once: a file the server would not take is not worth a second error.
bool UploadRun::RemoveQuietly(RemoteFileSystem& connection, const std::string& name) {
    return connection.IsConnected() && connection.Delete(name);
}

void UploadRun::Report(Sent sent, const std::string& overwritten, const RemoteFileSystem& connection) {
    switch (sent) {
    case Sent::Whole:
    case Sent::Cancelled:
    case Sent::Broken: // never left over: tried again until it becomes Failed
        return;
    case Sent::ReadFailed:
        Fail(kLocalFailure, saidLocal_);
        return;
    case Sent::Refused:
    case Sent::Failed:
        if (Cancelled()) {
            return;
        }
        if (parallel_ && !connection.IsConnected()) {
            // This connection is done for; the others go on with the files left.
            Tell(kRemoteFailure, saidRemote_);
            return;
        }
        Fail(overwritten.empty() ? std::string(kRemoteFailure)
                                 : std::string(kRemoteFailure) + ": this FTP server cannot rename, so \"" +
                                       overwritten + "\" was written over in place, and its old copy is lost",
             saidRemote_);
        return;
    }
}

std::string UploadRun::TemporaryName(const std::string& name, const std::vector<RemoteEntry>* listed) {
    // Hidden, in the same directory, and short enough for any server's names.
    const std::string stem = name.size() <= 200 ? "." + name : std::string(".upload");
    std::random_device random;
    for (;;) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".part-%08x", static_cast<unsigned>(random()));
        std::string candidate = stem + suffix;
        if (listed == nullptr || std::none_of(listed->begin(), listed->end(), [&](const RemoteEntry& entry) {
                return entry.name == candidate;
            })) {
            return candidate;
        }
    }
}

} // namespace tidewell
