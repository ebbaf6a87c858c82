#include "core/transfer/UploadRun.h"

#include "core/remote/ftp/FtpConnection.h"
#include "core/remote/ftp/FtpException.h"
#include "core/remote/ftp/Socket.h"
#include "core/transfer/LocalFile.h"
#include "core/transfer/RemoteDirectories.h"

#include <ctime>
#include <vector>

namespace tidewell {

namespace {

constexpr const char* kNoPermission =
    "Could not transfer directory, you do not have permission to create directories on the FTP server";
constexpr const char* kRemoteFailure = "Unable to upload files to this FTP server";
constexpr const char* kLocalFailure = "Unable to read file on local disk";

} // namespace

UploadRun::UploadRun(RemoteSession& session, SiteProfile site, UploadPlan plan, Done done)
    : listing_(session, std::move(site), std::move(done)), plan_(std::move(plan)) {}

void UploadRun::Execute(RunContext& context) {
    context_ = &context;
    progress_.StartRun();
    if (!context.connection) {
        progress_.SetFileName(kListingWaitText);
    }
    Publish(true);
    bool ready = false;
    {
        // Until the upload starts, a cancel abandons the attempt at once, even
        // against a server that never answers, as a log-in does.
        const ftp::CancelScope cancellable(context.cancel);
        ready = listing_.Prepare(context);
    }
    if (context.cancel && context.connection) {
        // Whatever the connection was in the middle of, it cannot be trusted now.
        context.connection.reset();
        ready = false;
    }
    progress_.SetFileName({});
    progress_.ResetSession(plan_.FileCount());
    Publish(true);
    std::string base;
    const bool known = ready && context.connection->GetCurrentDirectory(base);
    if (known) {
        TellSkipped("These local files were not uploaded:", plan_.Skipped());
        RemoteDirectories remote(*context.connection);
        UploadList(base, remote);
    } else if (ready) {
        Fail(kRemoteFailure, saidRemote_); // the server would not say where the run starts
    }
    progress_.EndRun();
    Publish(true);
    // Back to where the run started, by the full path the server gave: the
    // site's directory may be relative.
    const bool back = known && !DropIfLost(saidRemote_) && context.connection->SetCurrentDirectory(base);
    listing_.Conclude(context, back);
    if (back && context.connection) {
        context.window.ShowCompletion();
    }
    progress_.ResetDisplay();
    Publish(true);
}

void UploadRun::UploadList(const std::string& base, RemoteDirectories& remote) {
    // Where each open level's files go; std::nullopt below a directory that
    // could not be made or entered, whose contents are passed over.
    std::vector<std::optional<std::string>> levels{base};
    for (const UploadStep& step : plan_.Steps()) {
        if (Cancelled() || lost_) {
            break;
        }
        switch (step.kind) {
        case UploadStep::Kind::EnterDirectory:
            levels.push_back(levels.back() ? OpenDirectory(*levels.back(), step.name, remote) : std::nullopt);
            break;
        case UploadStep::Kind::LeaveDirectory:
            levels.pop_back();
            progress_.SetFileName({});
            break;
        case UploadStep::Kind::CopyFile:
            if (!stopped_ && levels.back()) {
                UploadSinglePath(*levels.back(), step, remote);
            }
            if (!Cancelled()) {
                progress_.StepSession();
                Publish(false);
            }
            break;
        }
    }
    progress_.SetFileName({});
}

std::optional<std::string> UploadRun::OpenDirectory(const std::string& parent, const std::string& name,
                                                    RemoteDirectories& remote) {
    ftp::FtpConnection& connection = *context_->connection;
    const std::string path = RemoteDirectories::Join(parent, name);
    const RemoteEntry* existing = remote.Find(parent, name);
    if (existing != nullptr && !existing->directory && !existing->link) {
        Tell("Could not transfer directory \"" + name + "\": the FTP server holds a file of that name",
             saidInTheWay_);
        return std::nullopt;
    }
    // When the parent could not be listed, making it is tried anyway: a
    // refusal may mean it is there already, which entering it tells.
    if (existing == nullptr && connection.CreateDirectory(path)) {
        remote.NoteCreated(parent, name);
    }
    if (!remote.Enter(path)) {
        lost_ = !connection.IsConnected();
        Fail(kNoPermission, saidPermission_);
        return std::nullopt;
    }
    return path;
}

void UploadRun::UploadSinglePath(const std::string& dir, const UploadStep& step, RemoteDirectories& remote) {
    std::optional<LocalFile> local = LocalFile::Open(step.local);
    progress_.BeginFile(step.name, local ? local->Size() : 0);
    Publish(true);
    if (!local) {
        Fail(kLocalFailure, saidLocal_);
        return;
    }
    if (const RemoteEntry* existing = remote.Find(dir, step.name)) {
        if (existing->directory) {
            Tell("Could not upload \"" + step.name + "\": the FTP server holds a directory of that name",
                 saidInTheWay_);
            return;
        }
        if (!MayReplace({step.name, VersionLine(existing->size, existing->time),
                         VersionLine(local->Size(), local->Time())})) {
            return;
        }
    }
    if (Cancelled()) {
        return;
    }
    ftp::FtpConnection& connection = *context_->connection;
    bool opened = false;
    bool readFailed = false;
    try {
        if (!remote.Enter(dir)) {
            throw ftp::FtpException(ftp::error::kErrorReply, connection.LastReply());
        }
        auto file = connection.OpenFile(step.name, ftp::FtpFile::Access::Write);
        opened = true;
        for (std::size_t got = kBlockSize; got == kBlockSize && !Cancelled();) {
            const std::int64_t start = MillisecondsOfDay();
            if (local->Size() > 0) {
                progress_.StepFile();
            }
            // Read straight into what goes on the wire: no copy per block.
            const std::optional<std::size_t> read = local->Read(file->WriteSpace(kBlockSize), kBlockSize);
            if (!read) {
                readFailed = true;
                break;
            }
            got = *read;
            file->CommitWrite(got);
            progress_.EndBlock(start, MillisecondsOfDay());
            Publish(false);
        }
        file->Flush();
        file->Close();
    } catch (const ftp::FtpException&) {
        lost_ = !connection.IsConnected();
        if (opened && !lost_) {
            RemovePartial(dir, step.name, remote);
        }
        if (!Cancelled()) {
            Fail(kRemoteFailure, saidRemote_);
        }
        return;
    }
    if (readFailed || Cancelled()) {
        RemovePartial(dir, step.name, remote);
        if (readFailed) {
            Fail(kLocalFailure, saidLocal_);
        }
        return;
    }
    remote.Note(dir, {step.name, local->Size(), static_cast<std::int64_t>(std::time(nullptr)), false, false});
}

// Tried once: a file the server would not take is not worth a second error.
void UploadRun::RemovePartial(const std::string& dir, const std::string& name, RemoteDirectories& remote) {
    if (context_->connection->Remove(name)) {
        remote.Forget(dir, name);
    } else {
        remote.Note(dir, {name, 0, static_cast<std::int64_t>(std::time(nullptr)), false, false});
    }
}

} // namespace tidewell
