#include "core/transfer/DownloadRun.h"

#include "core/remote/CancelScope.h"
#include "core/remote/RemoteDirectories.h"
#include "core/remote/RemoteFileSystem.h"
#include "core/session/FileWorkers.h"
#include "core/transfer/DownloadPlan.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <optional>
#include <system_error>

namespace tidewell {

namespace {

constexpr const char* kPreparingText = "Preparing To Download, Please Wait...";
constexpr const char* kLocalFailure = "Unable to create file on local disk";
constexpr const char* kRemoteFailure = "Unable to download files from this FTP server";

} // namespace

DownloadRun::DownloadRun(DownloadRequest request, Done done)
    : request_(std::move(request)), done_(std::move(done)) {}

void DownloadRun::Execute(RunContext& context) {
    context_ = &context;
    if (!context.connection) {
        return; // the window starts a download only while logged in
    }
    progress_.StartRun();
    progress_.SetFileName(kPreparingText);
    Publish(true);
    FileWorkers::PrepareOwn(*context.connection, request_.more ? &*request_.more : nullptr,
                            request_.connections);
    const std::string startDir = context.connection->RealPath().value_or(std::string());
    {
        RemoteDirectories remote(*context.connection);
        std::optional<DownloadPlan> plan;
        {
            // Nothing is written while counting: a cancel may cut any wait short.
            const CancelScope cancellable(context.cancel);
            plan.emplace(DownloadPlan::Make(remote, request_.remoteBase, request_.names, request_.folder,
                                            context.cancel));
        }
        progress_.SetFileName({});
        progress_.ResetSession(plan->FileCount());
        CountAsked(plan->FileCount());
        Publish(true);
        if (!Cancelled()) {
            TellSkipped("These remote directories could not be read and were skipped:", plan->Unreadable());
            TellSkipped("These links were not followed: they lead out of the selected directories, back into "
                        "them, or where the server will not say:",
                        plan->NotFollowed());
        }
        if (!plan->Unreadable().empty() || !plan->NotFollowed().empty()) {
            CountLeftOut();
        }
        if (plan->BaseFailure()) {
            outcome_.ending = {false,
                               {"The directory could not be listed: " + *plan->BaseFailure(), "FTP Error",
                                MessageIcon::Stop}};
        }
        Walk(*plan, remote);
    }
    progress_.EndRun();
    Publish(true);
    if (!outcome_.ending) {
        outcome_.ending = Ending();
    }
    // A reconnect on the way may have replaced the connection the run began with.
    RemoteFileSystem& connection = *context.connection;
    bool lost = false;
    if (Cancelled() && !connection.IsConnected()) {
        context.connection.reset(); // a wait the cancel cut short took the connection with it
        lost = true;
    } else {
        lost = DropIfLost(saidRemote_);
    }
    if (!lost) {
        connection.Enter(startDir);
        outcome_.listing = ReadRemoteDirectory(connection);
        outcome_.connected = connection.IsConnected();
        if (!outcome_.connected) {
            context.connection.reset();
        }
    }
    if (!outcome_.connected) {
        // Logged out: no listing to show it after, and the window resets itself.
        progress_.ResetDisplay();
        Publish(true);
        if (!Cancelled()) {
            outcome_.ending.reset(); // the lost connection was the message
        }
    }
}

void DownloadRun::Walk(const DownloadPlan& plan, RemoteDirectories& remote) {
    // Directories and the names left out in plan order, so that every
    // directory is there before its files; then the files.
    bool saidUnsafe = false;
    std::vector<const DownloadStep*> files;
    for (const DownloadStep& step : plan.Steps()) {
        if (Cancelled()) {
            return;
        }
        switch (step.kind) {
        case DownloadStep::Kind::MakeDirectory: {
            std::error_code ignored; // an existing directory is fine; a missing one fails its files
            std::filesystem::create_directory(step.local, ignored);
            break;
        }
        case DownloadStep::Kind::SkipUnsafeName:
            if (!saidUnsafe) {
                saidUnsafe = true;
                context_->window.Ask({"A remote name that cannot be used on this computer was skipped: \"" +
                                          step.entry.name + "\"",
                                      "ERROR", MessageIcon::Exclamation, MessageButtons::Ok});
            }
            if (!step.entry.directory) {
                StepSession();
            }
            break;
        case DownloadStep::Kind::CopyFile:
            files.push_back(&step);
            break;
        }
    }
    // Stops every connection at its next file: a cancel, or an error after
    // which later files are passed over.
    std::atomic<bool> stop{false};
    progress_.SetParallel(request_.connections > 1 && request_.more && files.size() > 1);
    const FileWorkers::Recovery recovery{context_->connection, request_.retry, context_->cancel};
    FileWorkers::Run(
        files.size(), remote, request_.more ? &*request_.more : nullptr, request_.connections, stop,
        [&](std::size_t job, FileWorkers::Worker& worker) {
            const bool connected = stopped_ || CopyFile(*files[job], worker);
            StepSession();
            stop = Cancelled();
            return connected;
        },
        &recovery);
    progress_.SetFileName({});
}

bool DownloadRun::MayOverwrite(const DownloadStep& step) {
    std::error_code error;
    const auto status = std::filesystem::symlink_status(step.local, error);
    if (error || !std::filesystem::exists(status)) {
        return true;
    }
    const bool regular = std::filesystem::is_regular_file(status);
    const auto size = regular ? static_cast<std::int64_t>(std::filesystem::file_size(step.local, error)) : 0;
    const auto written = std::filesystem::last_write_time(step.local, error);
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
                             std::chrono::file_clock::to_sys(written).time_since_epoch())
                             .count();
    return MayReplace(
        {step.local.string(), VersionLine(size, seconds), VersionLine(step.entry.size, step.entry.time)});
}

bool DownloadRun::CopyFile(const DownloadStep& step, FileWorkers::Worker& worker) {
    ShowProgress(&worker.Directories(), true, true,
                 [&](TransferProgress& progress) { progress.BeginFile(step.entry.name, step.entry.size); });
    if (!MayOverwrite(step) || Cancelled()) {
        return true;
    }
    std::optional<PartFile> local = OpenPart(step, worker.Directories().Connection());
    if (!local) {
        Fail(kLocalFailure, saidLocal_);
        return true;
    }
    bool resumed = false;
    bool fetchedAgain = false;
    for (int retries = 0;;) {
        switch (Fetch(step, *local, worker.Directories(), resumed)) {
        case Fetched::Whole:
            // Pieces from two transfers: where the server can tell, the whole
            // is checked, and a file that differs comes again from the start once.
            if (resumed && !fetchedAgain &&
                CompareWhole(worker.Directories().Connection(), step.entry.name, local->Path()) ==
                    Compared::Different) {
                fetchedAgain = true;
                resumed = false;
                if (!local->Restart()) {
                    Fail(kLocalFailure, saidLocal_);
                    return true;
                }
                continue;
            }
            if (!local->Commit()) {
                Fail(kLocalFailure, saidLocal_);
                return true;
            }
            CountCopied();
            return true;
        case Fetched::Cancelled:
            return true; // what arrived stays in the part for the next download
        case Fetched::LocalFailed:
            Fail(kLocalFailure, saidLocal_);
            return true;
        case Fetched::Broken:
            if (worker.Recover(retries)) {
                continue;
            }
            [[fallthrough]];
        case Fetched::Refused:
            break;
        }
        break;
    }
    const RemoteFileSystem& connection = worker.Directories().Connection();
    if (Cancelled()) {
        return connection.IsConnected();
    }
    if (!connection.IsConnected() && request_.connections > 1) {
        // This connection is done for; the others go on with the files left.
        Tell(kRemoteFailure, saidRemote_);
        return false;
    }
    Fail(kRemoteFailure, saidRemote_);
    return connection.IsConnected();
}

std::optional<PartFile> DownloadRun::OpenPart(const DownloadStep& step, const RemoteFileSystem& connection) {
    // A link's listed size and time are the link's: nothing to know its target by.
    if (!request_.more || step.entry.link || !connection.CanResume()) {
        return PartFile::Create(step.local);
    }
    const std::string key =
        PartFile::KeyOf(request_.more->Server(), RemoteDirectories::Join(step.remoteDir, step.entry.name),
                        step.entry.size, step.entry.time);
    kept_.Prepare(step.local, key);
    return PartFile::Resume(step.local, key);
}

DownloadRun::Fetched DownloadRun::Fetch(const DownloadStep& step, PartFile& part, RemoteDirectories& remote,
                                        bool& resumed) {
    RemoteFileSystem& connection = remote.Connection();
    const std::optional<std::uint64_t> listed =
        step.entry.link ? std::nullopt : std::optional(static_cast<std::uint64_t>(step.entry.size));
    // Reads take what has arrived, up to this much: few calls on a fast link,
    // no wait on a slow one. The File bar still moves in blocks.
    const std::size_t room = std::clamp(static_cast<std::size_t>(std::max<std::int64_t>(step.entry.size, 0)),
                                        kBlockSize, kReadBytes);
    const auto buffer = std::make_unique_for_overwrite<char[]>(room);
    try {
        if (!remote.Enter(step.remoteDir)) {
            throw RemoteError(0, connection.LastReply(), "the directory could not be entered");
        }
        std::uint64_t offset = part.Length();
        if (offset > 0) {
            // Only the very file the part came from goes on from it.
            const std::optional<std::uint64_t> size = connection.Size(step.entry.name);
            if (!connection.CanResume() || !size || (listed && *size != *listed) || offset > *size) {
                if (!part.Restart()) {
                    return Fetched::LocalFailed;
                }
                offset = 0;
            }
        }
        std::unique_ptr<RemoteStream> file;
        try {
            file = connection.Open(step.entry.name, RemoteFileSystem::Access::Read, offset,
                                   offset == 0 ? listed : std::nullopt);
        } catch (const RemoteError&) {
            if (offset == 0 || !connection.IsConnected()) {
                throw;
            }
            // Going on from there was refused: from the start, then.
            if (!part.Restart()) {
                return Fetched::LocalFailed;
            }
            offset = 0;
            file = connection.Open(step.entry.name, RemoteFileSystem::Access::Read, 0, listed);
        }
        resumed = resumed || offset > 0;
        ShowProgress(&remote, false, true, [&](TransferProgress& progress) {
            progress.BeginFile(step.entry.name, step.entry.size);
            progress.StepFile(BlocksOf(0, static_cast<std::size_t>(offset)));
        });
        for (;;) {
            if (Cancelled()) {
                file->Close(); // abandons the transfer; the connection stays usable
                return Fetched::Cancelled;
            }
            const BlockClock::time_point start = BlockClock::now();
            const std::size_t got = file->ReadSome(buffer.get(), room);
            if (got == 0) {
                break;
            }
            const std::uint64_t before = part.Length();
            if (!part.Write(buffer.get(), got)) {
                file->Close();
                return Fetched::LocalFailed;
            }
            const BlockClock::time_point end = BlockClock::now();
            const std::int64_t blocks = BlocksOf(before, got);
            ShowProgress(&remote, false, false,
                         [&](TransferProgress& progress) { progress.StepFile(blocks); });
            ShowBlock(&remote, start, end, static_cast<std::int64_t>(got));
        }
        file->Close();
        if (offset > 0 && listed && part.Length() != *listed) {
            // The engine checks the length of a whole transfer; this one is checked here.
            return part.Length() < *listed ? Fetched::Broken : Fetched::Refused;
        }
    } catch (const RemoteError& failure) {
        return WorthRetrying(failure, connection.IsConnected()) ? Fetched::Broken : Fetched::Refused;
    }
    return Fetched::Whole;
}

} // namespace tidewell
