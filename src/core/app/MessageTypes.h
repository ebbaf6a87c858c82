#pragma once

namespace tidewell {

// What a message box can say and answer, shared by the engines (which ask
// through the window) and the window (which shows the box).

// The answers, with the numbers the program has always used.
enum MessageResult : int { IdOk = 1, IdCancel = 2, IdYes = 6, IdNo = 7 };

enum class MessageIcon { None, Stop, Question, Exclamation, Information };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };

} // namespace tidewell
