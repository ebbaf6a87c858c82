#include "gui/remote/HostKeyDialog.h"

#include <QFormLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace tidewell {

namespace {

QString Heading(const HostKeyQuestion& question) {
    const QString server = QString::fromStdString(question.key.host).toHtmlEscaped();
    if (question.recordedBefore) {
        return QStringLiteral(
                   "<b><font color=\"#c00000\">The host key of %1 has CHANGED.</font></b><br>Someone "
                   "may be listening in on the connection, so it is refused. If the server's owner "
                   "confirms the new fingerprint, remove the old key from %2 and log in again.")
            .arg(server, QString::fromStdString(question.recordedIn).toHtmlEscaped());
    }
    return QStringLiteral(
               "<b>The host key of %1 is not known.</b><br>Go on only when its fingerprint is the one "
               "the server's owner gives.")
        .arg(server);
}

} // namespace

HostKeyDialog::HostKeyDialog(const HostKeyQuestion& question, QWidget* parent) : TrustDialog(parent) {
    const HostKeyInfo& key = question.key;
    setWindowTitle(QStringLiteral("SSH Host Key"));
    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel(Heading(question), this);
    heading->setWordWrap(true);
    layout->addWidget(heading);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Server:"), Selectable(key.host + " port " + std::to_string(key.port)));
    form->addRow(QStringLiteral("Key type:"), Selectable(key.type));
    form->addRow(QStringLiteral("Fingerprint:"), Selectable(key.sha256));
    if (question.recordedBefore) {
        form->addRow(QStringLiteral("Recorded until now:"), Selectable(*question.recordedBefore));
    }
    layout->addLayout(form);
    layout->addWidget(
        new QLabel(QStringLiteral("Your user name and password have not been sent yet."), this));

    layout->addWidget(MakeButtons(!question.recordedBefore));
}

namespace {

HostKeyDialogHook& CurrentHostKeyHook() {
    static HostKeyDialogHook hook = [](QWidget* parent, const HostKeyQuestion& question) {
        HostKeyDialog dialog(question, parent);
        return dialog.Ask();
    };
    return hook;
}

PassphraseDialogHook& CurrentPassphraseHook() {
    static PassphraseDialogHook hook = [](QWidget* parent,
                                          const std::string& keyFile) -> std::optional<std::string> {
        bool given = false;
        const QString text = QInputDialog::getText(
            parent, QStringLiteral("Key Passphrase"),
            QStringLiteral("Passphrase for the key %1:").arg(QString::fromStdString(keyFile)),
            QLineEdit::Password, {}, &given);
        return given ? std::optional(text.toStdString()) : std::nullopt;
    };
    return hook;
}

} // namespace

CertificateAnswer AskHostKey(QWidget* parent, const HostKeyQuestion& question) {
    return CurrentHostKeyHook()(parent, question);
}

std::optional<std::string> AskPassphrase(QWidget* parent, const std::string& keyFile) {
    return CurrentPassphraseHook()(parent, keyFile);
}

ScopedHostKeyDialogHook::ScopedHostKeyDialogHook(HostKeyDialogHook hook)
    : ScopedHook(CurrentHostKeyHook(), std::move(hook)) {}

ScopedPassphraseDialogHook::ScopedPassphraseDialogHook(PassphraseDialogHook hook)
    : ScopedHook(CurrentPassphraseHook(), std::move(hook)) {}

} // namespace tidewell
