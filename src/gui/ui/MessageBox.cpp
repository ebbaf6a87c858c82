#include "gui/ui/MessageBox.h"

#include <QMessageBox>

namespace tidewell {
namespace {

Answer ShowQtMessageBox(const MessageRequest& request) {
    QMessageBox box(request.parent);
    box.setWindowTitle(request.caption);
    box.setText(request.text);
    switch (request.icon) {
    case MessageIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MessageIcon::Stop:
        box.setIcon(QMessageBox::Critical);
        break;
    case MessageIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MessageIcon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case MessageIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    }
    switch (request.buttons) {
    case MessageButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MessageButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MessageButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case MessageButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    // Escape or the close box answers as the platform always did: Cancel where
    // there is one, No for a plain Yes/No, OK for a single button.
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        return request.buttons == MessageButtons::Ok      ? Answer::Ok
               : request.buttons == MessageButtons::YesNo ? Answer::No
                                                          : Answer::Cancel;
    }
}

MessageHook& CurrentHook() {
    static MessageHook hook = ShowQtMessageBox;
    return hook;
}

} // namespace

Answer ShowMessage(QWidget* parent, const QString& text, const QString& caption, MessageIcon icon,
                   MessageButtons buttons) {
    return CurrentHook()(MessageRequest{parent, text, caption, icon, buttons});
}

ScopedMessageHook::ScopedMessageHook(MessageHook hook) : ScopedHook(CurrentHook(), std::move(hook)) {}

} // namespace tidewell
