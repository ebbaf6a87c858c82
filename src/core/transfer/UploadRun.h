#pragma once

#include "core/remote/ListingRun.h"
#include "core/transfer/TransferRun.h"
#include "core/transfer/UploadPlan.h"

#include <functional>
#include <optional>
#include <string>

namespace tidewell {

class RemoteDirectories;

// The upload run: connects when needed, moves to the site's directory and
// recreates the counted local paths in it, with the overwrite question for
// each remote file of the same name, progress, and cancel within one block
// (the partial remote file removed). Remote directories are made or reused
// and addressed by their full path, so a directory that could not be made or
// entered never receives another's files. At the end the connection is back
// in the site's directory, the listing is read again and the completion
// notice shown.
class UploadRun : public TransferRun {
public:
    using Done = std::function<void(ListingOutcome)>;

    UploadRun(RemoteSession& session, SiteProfile site, UploadPlan plan, Done done);

    void Execute(RunContext& context) override;
    void Finish() override { listing_.Finish(); }

private:
    void UploadList(const std::string& base, RemoteDirectories& remote);
    // The full remote path of a directory made or reused below parent;
    // std::nullopt when it can be neither.
    std::optional<std::string> OpenDirectory(const std::string& parent, const std::string& name,
                                             RemoteDirectories& remote);
    void UploadSinglePath(const std::string& dir, const UploadStep& step, RemoteDirectories& remote);
    void RemovePartial(const std::string& dir, const std::string& name, RemoteDirectories& remote);

    ListingRun listing_;
    const UploadPlan plan_;
    bool lost_ = false;
    bool saidPermission_ = false;
    bool saidRemote_ = false;
    bool saidLocal_ = false;
    bool saidInTheWay_ = false;
};

} // namespace tidewell
