#pragma once

#include "core/app/Run.h"
#include "core/remote/ListingRun.h"
#include "core/transfer/TransferProgress.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace tidewell {

class DownloadPlan;
class RemoteDirectories;
struct DownloadStep;

struct DownloadRequest {
    std::vector<std::string> names; // the selected rows, in row order, ".." left out
    std::string remoteBase;         // the directory they were listed from
    std::filesystem::path folder;   // Download To
};

// The download run: counts and walks the selection depth-first, recreates the
// remote directories below the Download To folder and copies every file in
// blocks of 16,384 bytes, with progress, the overwrite question, cancel within
// one block, and at the end the connection back where it was, the listing
// read again and the completion notice.
class DownloadRun : public Run {
public:
    static constexpr std::size_t kBlockSize = 16384;
    using Done = std::function<void(ListingOutcome)>;

    DownloadRun(DownloadRequest request, Done done);

    // A cancel ends the run after the block in flight; the run then finishes
    // normally, so its waits must not be cut short.
    bool CancelCutsWaits() const override { return false; }
    void Execute(RunContext& context) override;
    void Finish() override { done_(std::move(outcome_)); }

private:
    bool Cancelled() const;
    void Walk(const DownloadPlan& plan, RemoteDirectories& remote);
    void CopyFile(const DownloadStep& step, RemoteDirectories& remote);
    bool MayOverwrite(const DownloadStep& step);
    // One message of each kind per run.
    void Fail(const char* text, bool& said);
    void Publish(bool force);

    DownloadRequest request_;
    Done done_;
    RunContext* context_ = nullptr;
    TransferProgress progress_;
    ListingOutcome outcome_;
    TransferDisplay published_;
    bool cancelled_ = false; // Cancel in the overwrite question
    bool overwriteAll_ = false;
    bool stopped_ = false; // after an error, later files are passed over
    bool lost_ = false;    // the connection is gone
    bool saidLocal_ = false;
    bool saidRemote_ = false;
    char buffer_[kBlockSize];
};

} // namespace tidewell
