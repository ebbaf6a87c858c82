#pragma once

#include "core/app/MessageTypes.h"
#include "core/app/TransferTypes.h"
#include "core/remote/CertificateQuestion.h"
#include "core/remote/HostKeyQuestion.h"

#include <optional>
#include <string>

namespace tidewell {

// The window as a run sees it: the run never touches a widget. From a run's
// thread every call crosses to the GUI thread; questions block the run until
// the user has answered.
class WindowInterface {
public:
    virtual ~WindowInterface() = default;

    // A message box or question, and the user's answer.
    virtual Answer Ask(const UserMessage& message) = 0;
    // The Transfer Status file-name field.
    virtual void SetFileNameText(const std::string& text) = 0;
    // The whole Transfer Status group. Updates may be coalesced: the window
    // shows the latest, at a rate a person can read.
    virtual void ShowTransfer(const TransferDisplay& display) = 0;
    // Whether a file that exists may be replaced.
    virtual OverwriteAnswer AskOverwrite(const OverwriteQuestion& question) = 0;
    // Whether to go on with a server whose certificate nothing vouches for.
    virtual CertificateAnswer AskCertificate(const CertificateQuestion& question) = 0;
    // Whether to go on with an SSH server whose host key is not known; a
    // changed key is only shown, and refused whatever the answer.
    virtual CertificateAnswer AskHostKey(const HostKeyQuestion& question) = 0;
    // The passphrase of a private key; std::nullopt when the user cancels.
    virtual std::optional<std::string> AskPassphrase(const std::string& keyFile) = 0;
};

} // namespace tidewell
