#pragma once

#include "core/remote/HostKeyQuestion.h"
#include "gui/remote/TrustDialog.h"
#include "gui/ui/ScopedHook.h"

#include <functional>

namespace tidewell {

// Puts an SSH host key the user's known hosts do not hold to the user before
// anything is sent: the server, the key's type and its SHA-256 fingerprint as
// OpenSSH prints it. A key that differs from the one recorded is said loudly,
// with both fingerprints and the file to remove the old one from, and can
// only be refused (Cancel alone).
class HostKeyDialog : public TrustDialog {
    Q_OBJECT
public:
    HostKeyDialog(const HostKeyQuestion& question, QWidget* parent);
};

using HostKeyDialogHook = std::function<CertificateAnswer(QWidget* parent, const HostKeyQuestion&)>;
using PassphraseDialogHook =
    std::function<std::optional<std::string>(QWidget* parent, const std::string& keyFile)>;

// Modal over parent; call on the GUI thread.
CertificateAnswer AskHostKey(QWidget* parent, const HostKeyQuestion& question);
// The passphrase of a private key, typed unseen; std::nullopt for Cancel.
std::optional<std::string> AskPassphrase(QWidget* parent, const std::string& keyFile);

// Replace how the questions are put while they live (tests answer them); put the previous way back.
class ScopedHostKeyDialogHook : public ScopedHook<HostKeyDialogHook> {
public:
    explicit ScopedHostKeyDialogHook(HostKeyDialogHook hook);
};
class ScopedPassphraseDialogHook : public ScopedHook<PassphraseDialogHook> {
public:
    explicit ScopedPassphraseDialogHook(PassphraseDialogHook hook);
};

} // namespace tidewell
