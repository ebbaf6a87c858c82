#pragma once

#include "gui/ui/ScopedHook.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <string>

class QLineEdit;
class QPushButton;

namespace tidewell {

// Asks for the name of a new remote directory (template 143). OK and Cancel
// both take the typed name; only OK clears `Cancelled`, so Escape and the
// close box cancel too. The keyboard starts in the name field.
class CreateDirectoryDialog : public QDialog {
public:
    explicit CreateDirectoryDialog(QWidget* parent = nullptr);

    const std::string& Name() const { return name_; }
    bool Cancelled() const { return cancelled_; }

    QLineEdit* NameEdit() const { return edit_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }

private:
    void Close(bool cancelled);

    QLineEdit* edit_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    std::string name_;
    bool cancelled_ = true;
};

// New Dir: shows the dialog modally over parent; the name unless cancelled.
// Call on the GUI thread.
std::optional<std::string> AskDirectoryName(QWidget* parent);

// Runs a freshly built dialog; the program's way is exec().
using CreateDirectoryDialogHook = std::function<void(CreateDirectoryDialog& dialog)>;

// Replaces how the dialog is run while it lives (tests fill it in and close
// it), and puts the previous way back when it goes.
class ScopedCreateDirectoryDialogHook : public ScopedHook<CreateDirectoryDialogHook> {
public:
    explicit ScopedCreateDirectoryDialogHook(CreateDirectoryDialogHook hook);
};

} // namespace tidewell
