#pragma once

#include "core/app/TransferTypes.h"

#include <QDialog>

#include <map>

class QLabel;
class QPushButton;

namespace tidewell {

// Asks, for one file, whether the file at the destination may be replaced.
// Enter answers Yes, Escape Cancel; there is no close box.
class OverwriteDialog : public QDialog {
public:
    explicit OverwriteDialog(QWidget* parent = nullptr);

    void SetTexts(const OverwriteQuestion& question);
    // Shows the dialog modally; one that could not be shown answers No.
    OverwriteAnswer Ask();
    // The answer the dialog was closed with.
    OverwriteAnswer ChosenAnswer() const;

    QLabel* Line(int id) const;
    QPushButton* Button(int id) const;

    void reject() override;

private:
    std::map<int, QWidget*> controls_;
};

} // namespace tidewell
