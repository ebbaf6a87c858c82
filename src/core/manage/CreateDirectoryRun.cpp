#include "core/manage/CreateDirectoryRun.h"

#include "core/remote/RemoteFileSystem.h"

namespace tidewell {

void CreateDirectoryRun::Execute(RunContext& context) {
    const char* refusal = nullptr;
    if (!context.connection || !context.connection->IsConnected()) {
        refusal = "Could not connect to FTP server to create directory";
    } else if (name_.empty()) {
        refusal = "You must enter a name for the directory";
    } else if (context.connection->MakeDirectory(name_)) {
        created_ = true;
        return;
    } else {
        refusal = "Directory already exists, or you do not have permission to create directories";
    }
    context.window.Ask({refusal, "ERROR", MessageIcon::Stop, MessageButtons::Ok});
}

} // namespace tidewell
