#pragma once

#include <QDialog>

class QPushButton;

namespace tidewell {

// Tells the user that a transfer run has ended. Stays above other windows and
// opens centred over its owner; OK, Enter and Escape close it.
class CompletionDialog : public QDialog {
public:
    explicit CompletionDialog(QWidget* parent = nullptr);

    QPushButton* OkButton() const { return ok_; }

private:
    QPushButton* ok_ = nullptr;
};

} // namespace tidewell
