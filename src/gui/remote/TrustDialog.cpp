#include "gui/remote/TrustDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>

namespace tidewell {

QLabel* TrustDialog::Selectable(const std::string& text) {
    auto* label = new QLabel(QString::fromStdString(text), this);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setWordWrap(true);
    return label;
}

QWidget* TrustDialog::MakeButtons(bool offerTrust) {
    auto* buttons = new QDialogButtonBox(this);
    if (offerTrust) {
        trust_ = buttons->addButton(QStringLiteral("Trust"), QDialogButtonBox::AcceptRole);
        alwaysTrust_ = buttons->addButton(QStringLiteral("Always trust"), QDialogButtonBox::AcceptRole);
    }
    cancel_ = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    const std::pair<QPushButton*, CertificateAnswer> choices[] = {
        {trust_, CertificateAnswer::Trust},
        {alwaysTrust_, CertificateAnswer::AlwaysTrust},
        {cancel_, CertificateAnswer::Cancel},
    };
    for (const auto& [button, answer] : choices) {
        if (button == nullptr) {
            continue;
        }
        // Enter cancels wherever the focus starts: a focused button would
        // otherwise take Enter for itself, and Trust comes first in the tab order.
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, answer = answer] {
            answer_ = answer;
            done(answer == CertificateAnswer::Cancel ? Rejected : Accepted);
        });
    }
    cancel_->setDefault(true);
    cancel_->setFocus();
    return buttons;
}

CertificateAnswer TrustDialog::Ask() {
    answer_ = CertificateAnswer::Cancel; // Escape and the close box too
    exec();
    return answer_;
}

QPushButton* TrustDialog::Button(CertificateAnswer answer) const {
    switch (answer) {
    case CertificateAnswer::Trust:
        return trust_;
    case CertificateAnswer::AlwaysTrust:
        return alwaysTrust_;
    case CertificateAnswer::Cancel:
        break;
    }
    return cancel_;
}

} // namespace tidewell
