#include "gui/remote/CertificateDialog.h"

#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace tidewell {

CertificateDialog::CertificateDialog(const CertificateQuestion& question, QWidget* parent)
    : TrustDialog(parent) {
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
    form->addRow(QStringLiteral("Why:"), Selectable(info.problem));
    form->addRow(QStringLiteral("Server:"), Selectable(info.host));
    form->addRow(QStringLiteral("Issued to:"), Selectable(info.subject));
    form->addRow(QStringLiteral("Issued by:"), Selectable(info.issuer));
    form->addRow(QStringLiteral("Valid:"), Selectable(info.notBefore + " to " + info.notAfter));
    form->addRow(QStringLiteral("SHA-256:"), Selectable(info.sha256));
    if (question.trustedBefore) {
        form->addRow(QStringLiteral("Trusted until now:"), Selectable(*question.trustedBefore));
    }
    form->addRow(QStringLiteral("Protocol:"), Selectable(info.tlsVersion));
    layout->addLayout(form);
    layout->addWidget(
        new QLabel(QStringLiteral("Your user name and password have not been sent yet."), this));

    layout->addWidget(MakeButtons(true));
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
