#pragma once

#include <string>

namespace tidewell {

// What a message box can say and answer: one vocabulary for the runs (which
// ask through the window interface), the profile commands and the window,
// which shows the box.

enum class MessageIcon { None, Stop, Question, Exclamation, Information };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

// A message box as the core describes it. Texts are UTF-8.
struct UserMessage {
    std::string text;
    std::string caption;
    MessageIcon icon = MessageIcon::Stop;
    MessageButtons buttons = MessageButtons::Ok;

    bool operator==(const UserMessage&) const = default;
};

} // namespace tidewell
