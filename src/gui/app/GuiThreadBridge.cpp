#include "gui/app/GuiThreadBridge.h"

#include <QMetaObject>

namespace tidewell {

namespace {
// Keys of the display updates that coalesce.
constexpr int kFileNameKey = 1;
constexpr int kTransferKey = 2;
} // namespace

GuiThreadBridge::GuiThreadBridge(QObject* parent) : QObject(parent), guiThread_(std::this_thread::get_id()) {}

GuiThreadBridge::~GuiThreadBridge() {
    Shutdown();
}

void GuiThreadBridge::Post(std::function<void()> task) {
    if (OnGuiThread()) {
        task();
        return;
    }
    Enqueue(0, std::move(task));
}

void GuiThreadBridge::PostLatest(int key, std::function<void()> task) {
    if (OnGuiThread()) {
        task();
        return;
    }
    Enqueue(key, std::move(task));
}

void GuiThreadBridge::Enqueue(int key, std::function<void()> task) {
    std::lock_guard lock(mutex_);
    if (stopped_) {
        return;
    }
    if (key != 0) {
        for (Task& waiting : queue_) {
            if (waiting.key == key) {
                waiting.run = std::move(task);
                return;
            }
        }
    }
    // A non-empty queue already has a drain on its way. The wake-up is queued
    // under our lock, so the drain that takes it (and Qt's freeing of the event
    // after it) is ordered after this by our own mutex, not only by Qt's.
    const bool wake = queue_.empty();
    queue_.push_back({key, std::move(task)});
    if (wake) {
        QMetaObject::invokeMethod(this, "drain", Qt::QueuedConnection);
    }
}

void GuiThreadBridge::drain() {
    std::deque<Task> tasks;
    {
        std::lock_guard lock(mutex_);
        tasks.swap(queue_);
    }
    for (Task& task : tasks) {
        task.run();
    }
}

void GuiThreadBridge::Shutdown() {
    std::lock_guard lock(mutex_);
    stopped_ = true;
    queue_.clear();
    answered_.notify_all();
}

Answer BridgedWindow::Ask(const UserMessage& message) {
    return bridge_.Call<Answer>([this, message] { return window_.Ask(message); }, Answer::Cancel);
}

void BridgedWindow::SetFileNameText(const std::string& text) {
    bridge_.PostLatest(kFileNameKey, [this, text] { window_.SetFileNameText(text); });
}

void BridgedWindow::ShowTransfer(const TransferDisplay& display) {
    bridge_.PostLatest(kTransferKey, [this, display] { window_.ShowTransfer(display); });
}

OverwriteAnswer BridgedWindow::AskOverwrite(const OverwriteQuestion& question) {
    return bridge_.Call<OverwriteAnswer>([this, question] { return window_.AskOverwrite(question); },
                                         OverwriteAnswer::Cancel);
}

CertificateAnswer BridgedWindow::AskCertificate(const CertificateQuestion& question) {
    return bridge_.Call<CertificateAnswer>([this, question] { return window_.AskCertificate(question); },
                                           CertificateAnswer::Cancel);
}

CertificateAnswer BridgedWindow::AskHostKey(const HostKeyQuestion& question) {
    return bridge_.Call<CertificateAnswer>([this, question] { return window_.AskHostKey(question); },
                                           CertificateAnswer::Cancel);
}

std::optional<std::string> BridgedWindow::AskPassphrase(const std::string& keyFile) {
    return bridge_.Call<std::optional<std::string>>(
        [this, keyFile] { return window_.AskPassphrase(keyFile); }, std::nullopt);
}

} // namespace tidewell
