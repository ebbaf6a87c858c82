#pragma once

#include "core/app/WindowInterface.h"

#include <optional>

namespace tidewell {

// Passes everything on to the window a run talks to, and keeps the last
// message it was told (not a question), which is how a run that fails says so.
class RecordingWindow : public WindowInterface {
public:
    explicit RecordingWindow(WindowInterface& window) : window_(window) {}

    const std::optional<UserMessage>& LastMessage() const { return last_; }

    Answer Ask(const UserMessage& message) override;
    void SetFileNameText(const std::string& text) override { window_.SetFileNameText(text); }
    void ShowTransfer(const TransferDisplay& display) override { window_.ShowTransfer(display); }
    OverwriteAnswer AskOverwrite(const OverwriteQuestion& question) override {
        return window_.AskOverwrite(question);
    }
    CertificateAnswer AskCertificate(const CertificateQuestion& question) override {
        return window_.AskCertificate(question);
    }
    CertificateAnswer AskHostKey(const HostKeyQuestion& question) override {
        return window_.AskHostKey(question);
    }
    std::optional<std::string> AskPassphrase(const std::string& keyFile) override {
        return window_.AskPassphrase(keyFile);
    }

private:
    WindowInterface& window_;
    std::optional<UserMessage> last_;
};

} // namespace tidewell
