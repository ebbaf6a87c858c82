#pragma once

#include "core/session/ConnectionMaker.h"
#include "core/session/ListingRun.h"
#include "core/transfer/TransferRun.h"

#include <filesystem>
#include <functional>
#include <optional>
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
    // Files move over this many connections at once, the extra ones made by `more`.
    int connections = 1;
    std::optional<ConnectionMaker> more{};
};

// The download run: counts and walks the selection depth-first, recreates the
// remote directories below the Download To folder and copies every file in
// blocks of 16,384 bytes, over several connections at once when it may, with
// progress, the overwrite question, cancel within one block, and at the end
// the connection back where it was, the listing read again and the
// completion notice.
class DownloadRun : public TransferRun {
public:
    using Done = std::function<void(ListingOutcome)>;

    DownloadRun(DownloadRequest request, Done done);

    void Execute(RunContext& context) override;
    void Finish() override { done_(std::move(outcome_)); }
    std::optional<UserMessage> EndingMessage() const override { return DescribeEnding(outcome_); }

private:
    void Walk(const DownloadPlan& plan, RemoteDirectories& remote);
    // False when the connection was lost.
    bool CopyFile(const DownloadStep& step, RemoteDirectories& remote);
    bool MayOverwrite(const DownloadStep& step);

    DownloadRequest request_;
    Done done_;
    ListingOutcome outcome_;
    bool saidLocal_ = false;
    bool saidRemote_ = false;
};

} // namespace tidewell
