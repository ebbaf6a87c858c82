#pragma once

#include "core/app/MessageTypes.h"

#include <QString>

namespace tidewell {

// A message box as the core describes it; the window shows it through its hook.
struct UserMessage {
    QString text;
    QString caption;
    MessageIcon icon = MessageIcon::Stop;

    bool operator==(const UserMessage&) const = default;
};

enum class Answer { Yes, No, Cancel };

} // namespace tidewell
