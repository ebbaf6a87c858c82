#include "core/manage/RenameRun.h"

#include "core/remote/ftp/FtpConnection.h"

namespace tidewell {

void RenameRun::Execute(RunContext& context) {
    if (!context.connection || !context.connection->IsConnected()) {
        return;
    }
    std::string refusal;
    if (request_.from == "..") {
        refusal = "Cannot rename special directories";
    } else if (request_.targetListed) {
        refusal = "\"" + request_.to + "\" already exists in this directory; choose another name";
    } else if (context.connection->Rename(request_.from, request_.to)) {
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
