#pragma once

#include "core/session/ConnectionMaker.h"
#include "core/session/FileWorkers.h"
#include "core/session/ListingRun.h"
#include "core/transfer/KeptParts.h"
#include "core/transfer/PartFile.h"
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
    // A file whose connection or transfer failed on the way is tried again,
    // over a new connection when the old one is gone (made by `more`).
    FileWorkers::Retry retry{};
};

// The download run: counts and walks the selection depth-first, recreates the
// remote directories below the Download To folder and copies every file in
// blocks of 16,384 bytes, over several connections at once when it may, with
// progress, the overwrite question, cancel within one block, and at the end
// the connection back where it was, the listing read again and the
// completion notice. A file that fails on the way is tried again from where
// it stopped, over a new connection when the old one was lost; what arrived
// of a file that did not finish is kept beside it (hidden) for the next
// download of the same remote file to go on from.
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
    bool CopyFile(const DownloadStep& step, FileWorkers::Worker& worker);
    bool MayOverwrite(const DownloadStep& step);
    // The file the data goes to: a part kept from before when there is one.
    std::optional<PartFile> OpenPart(const DownloadStep& step, const RemoteFileSystem& connection);
    enum class Fetched { Whole, Cancelled, LocalFailed, Refused, Broken };
    // The rest of the file after what `part` holds; Broken when another try
    // may mend it. `resumed`: set when it went on past byte 0.
    Fetched Fetch(const DownloadStep& step, PartFile& part, RemoteDirectories& remote, bool& resumed);

    DownloadRequest request_;
    Done done_;
    ListingOutcome outcome_;
    KeptParts kept_;
    bool saidLocal_ = false;
    bool saidRemote_ = false;
};

} // namespace tidewell
