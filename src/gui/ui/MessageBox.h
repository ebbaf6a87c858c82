#pragma once

#include "core/app/MessageTypes.h"
#include "gui/ui/ScopedHook.h"

#include <QString>

#include <functional>

class QWidget;

namespace tidewell {

struct MessageRequest {
    QWidget* parent;
    QString text;
    QString caption;
    MessageIcon icon;
    MessageButtons buttons;
};

using MessageHook = std::function<Answer(const MessageRequest&)>;

// Every message box of the program goes through here. Modal over parent;
// returns the answer. Call it on the GUI thread.
Answer ShowMessage(QWidget* parent, const QString& text, const QString& caption, MessageIcon icon,
                   MessageButtons buttons = MessageButtons::Ok);

// Replaces how message boxes are shown while it lives (tests answer them), and
// puts the previous way back when it goes.
class ScopedMessageHook : public ScopedHook<MessageHook> {
public:
    explicit ScopedMessageHook(MessageHook hook);
};

} // namespace tidewell
