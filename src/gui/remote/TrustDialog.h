#pragma once

#include "core/remote/CertificateQuestion.h"

#include <QDialog>

#include <string>

class QLabel;
class QPushButton;

namespace tidewell {

// A question whether to go on with what a server shows of itself: Trust (this
// connection), Always trust and Cancel. Cancel is the default, Enter's answer
// wherever the focus starts, and Escape's.
class TrustDialog : public QDialog {
    Q_OBJECT
public:
    CertificateAnswer Ask();
    // nullptr for an answer not offered.
    QPushButton* Button(CertificateAnswer answer) const;

protected:
    explicit TrustDialog(QWidget* parent) : QDialog(parent) {}
    // The row of buttons; only Cancel unless `offerTrust`.
    QWidget* MakeButtons(bool offerTrust);
    // A value the user may select and copy (a fingerprint to compare).
    QLabel* Selectable(const std::string& text);

private:
    QPushButton* trust_ = nullptr;
    QPushButton* alwaysTrust_ = nullptr;
    QPushButton* cancel_ = nullptr;
    CertificateAnswer answer_ = CertificateAnswer::Cancel;
};

} // namespace tidewell
