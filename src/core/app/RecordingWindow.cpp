#include "core/app/RecordingWindow.h"

namespace tidewell {

Answer RecordingWindow::Ask(const UserMessage& message) {
    if (message.buttons == MessageButtons::Ok) {
        last_ = message;
    }
    return window_.Ask(message);
}

} // namespace tidewell
