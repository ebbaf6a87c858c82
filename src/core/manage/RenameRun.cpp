#include "core/manage/RenameRun.h"

#include "core/remote/RemoteFileSystem.h"
#include "core/remote/RemoteName.h"

#include <algorithm>

namespace tidewell {

namespace {

// Read now, with hidden entries: the window's listing may be older than the
// entry another client made, and many servers replace a target without a word.
bool Exists(RemoteFileSystem& connection, const std::string& name) {
    const auto entries = connection.List(true).entries;
    return std::any_of(entries.begin(), entries.end(),
                       [&](const RemoteEntry& entry) { return entry.name == name; });
}

} // namespace

void RenameRun::Execute(RunContext& context) {
    if (!context.connection || !context.connection->IsConnected()) {
        return;
    }
    std::string refusal;
    if (request_.from == "..") {
        refusal = "Cannot rename special directories";
    } else if (!IsPlainName(request_.to) &&
               request_.to.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos) {
        refusal =
            "\"" + request_.to +
            "\" is not a name for an entry of this directory: it cannot be \".\" or \"..\", nor hold \"/\" "
            "or \"\\\"; choose another name";
    } else if (request_.targetListed || Exists(*context.connection, request_.to)) {
        refusal = "\"" + request_.to + "\" already exists in this directory; choose another name";
    } else if (IsPlainName(request_.to) && context.connection->Rename(request_.from, request_.to)) {
        renamed_ = true;
        return;
    } else if (request_.directory) {
        refusal = "Could not rename the Directory. This operation may not be supported by the FTP server.";
    } else {
        refusal = "Could not rename the File";
    }
    context.window.Ask({refusal, "ERROR", MessageIcon::Stop, MessageButtons::Ok});
}

} // namespace tidewell
