#include "gui/remote/CertificateDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tidewell {

namespace {

QLabel* Selectable(const std::string& text, QWidget* parent) {
    auto* label = new QLabel(QString::fromStdString(text), parent);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setWordWrap(true);
    return label;
}

} // namespace

CertificateDialog::CertificateDialog(const CertificateQuestion& question, QWidget* parent) : QDialog(parent) {
    const ftp::CertificateInfo& info = question.certificate;
    setWindowTitle(QStringLiteral("Server Certificate"));
    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel(this);
    heading->setWordWrap(true);
    const QString host = QString::fromStdString(info.host).toHtmlEscaped();
    if (question.trustedBefore) {
        heading->setText(
            QStringLiteral("<b><font color=\"#c00000\">The certificate of %1 has CHANGED since you chose "
                           "to always trust it.</font></b><br>Someone may be listening in on the "
                           "connection. Go on only when the server's owner has confirmed the new "
                           "fingerprint.")
                .arg(host));
    } else {
        heading->setText(QStringLiteral("<b>The certificate of %1 could not be checked.</b>").arg(host));
    }
    layout->addWidget(heading);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Why:"), Selectable(info.problem, this));
    form->addRow(QStringLiteral("Server:"), Selectable(info.host, this));
    form->addRow(QStringLiteral("Issued to:"), Selectable(info.subject, this));
    form->addRow(QStringLiteral("Issued by:"), Selectable(info.issuer, this));
    form->addRow(QStringLiteral("Valid:"), Selectable(info.notBefore + " to " + info.notAfter, this));
    form->addRow(QStringLiteral("SHA-256:"), Selectable(info.sha256, this));
    if (question.trustedBefore) {
        form->addRow(QStringLiteral("Trusted until now:"), Selectable(*question.trustedBefore, this));
    }
    form->addRow(QStringLiteral("Protocol:"), Selectable(info.tlsVersion, this));
    layout->addLayout(form);
    layout->addWidget(
        new QLabel(QStringLiteral("Your user name and password have not been sent yet."), this));

    auto* buttons = new QDialogButtonBox(this);
    trust_ = buttons->addButton(QStringLiteral("Trust"), QDialogButtonBox::AcceptRole);
    alwaysTrust_ = buttons->addButton(QStringLiteral("Always trust"), QDialogButtonBox::AcceptRole);
    cancel_ = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    // Enter cancels wherever the focus starts: a focused button would otherwise
    // take Enter for itself, and Trust comes first in the tab order.
    trust_->setAutoDefault(false);
    alwaysTrust_->setAutoDefault(false);
    cancel_->setDefault(true);
    cancel_->setFocus();
    layout->addWidget(buttons);
    const std::pair<QPushButton*, CertificateAnswer> choices[] = {
        {trust_, CertificateAnswer::Trust},
        {alwaysTrust_, CertificateAnswer::AlwaysTrust},
        {cancel_, CertificateAnswer::Cancel},
    };
    for (const auto& choice : choices) {
        const CertificateAnswer answer = choice.second;
        connect(choice.first, &QPushButton::clicked, this, [this, answer] {
            answer_ = answer;
            done(answer == CertificateAnswer::Cancel ? Rejected : Accepted);
        });
    }
}

CertificateAnswer CertificateDialog::Ask() {
    answer_ = CertificateAnswer::Cancel; // Escape and the close box too
    exec();
    return answer_;
}

QPushButton* CertificateDialog::Button(CertificateAnswer answer) const {
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

namespace {

CertificateDialogHook& CurrentHook() {
    static CertificateDialogHook hook = [](QWidget* parent, const CertificateQuestion& question) {
        CertificateDialog dialog(question, parent);
        return dialog.Ask();
    };
    return hook;
}

} // namespace

CertificateAnswer AskCertificate(QWidget* parent, const CertificateQuestion& question) {
    return CurrentHook()(parent, question);
}

ScopedCertificateDialogHook::ScopedCertificateDialogHook(CertificateDialogHook hook)
    : ScopedHook(CurrentHook(), std::move(hook)) {}

} // namespace tidewell
