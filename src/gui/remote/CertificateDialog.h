#pragma once

#include "core/remote/CertificateQuestion.h"
#include "gui/remote/TrustDialog.h"
#include "gui/ui/ScopedHook.h"

#include <functional>

namespace tidewell {

// Puts a certificate that nothing vouches for to the user, with what a person
// needs to decide: the server, who the certificate names and who issued it,
// its validity, its SHA-256 fingerprint and why it could not be checked. A
// certificate that changed since it was always trusted is said loudly.
// Cancel is the default and Escape's answer.
class CertificateDialog : public TrustDialog {
    Q_OBJECT
public:
    CertificateDialog(const CertificateQuestion& question, QWidget* parent);
};

using CertificateDialogHook = std::function<CertificateAnswer(QWidget* parent, const CertificateQuestion&)>;

// Modal over parent; call on the GUI thread.
CertificateAnswer AskCertificate(QWidget* parent, const CertificateQuestion& question);

// Replaces how the question is put while it lives (tests answer it); puts the previous way back.
class ScopedCertificateDialogHook : public ScopedHook<CertificateDialogHook> {
public:
    explicit ScopedCertificateDialogHook(CertificateDialogHook hook);
};

} // namespace tidewell
