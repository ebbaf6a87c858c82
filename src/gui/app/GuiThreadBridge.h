#pragma once

#include "core/app/WindowInterface.h"

#include <QObject>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace tidewell {

// Carries work from a worker thread to the GUI thread. Every hand-off goes
// through our own mutex (Qt's event queue only wakes the GUI thread), so the
// ordering is visible to ThreadSanitizer as well as real.
class GuiThreadBridge : public QObject {
    Q_OBJECT
public:
    // The GUI thread is the one that constructs the bridge.
    explicit GuiThreadBridge(QObject* parent = nullptr);
    ~GuiThreadBridge() override;

    bool OnGuiThread() const { return std::this_thread::get_id() == guiThread_; }

    // Runs task on the GUI thread, later; on the GUI thread itself, at once.
    void Post(std::function<void()> task);
    // Like Post, but a task with the same key still waiting is replaced, so
    // display updates coalesce and the latest always shows. key > 0.
    void PostLatest(int key, std::function<void()> task);

    // Runs task on the GUI thread and waits for its result. After Shutdown, and
    // for calls still waiting when it comes, the result is fallback.
    template <class T> T Call(std::function<T()> task, T fallback);

    // For the window's end: drops waiting tasks, releases blocked callers and
    // ignores later posts, so a worker can finish and be joined.
    void Shutdown();

    // Runs the tasks posted so far (GUI thread; queued by the posting thread).
    Q_INVOKABLE void drain();

private:
    struct Task {
        int key = 0;
        std::function<void()> run;
    };

    void Enqueue(int key, std::function<void()> task);

    const std::thread::id guiThread_;
    std::mutex mutex_;
    std::condition_variable answered_;
    std::deque<Task> queue_;
    bool stopped_ = false;
};

template <class T> T GuiThreadBridge::Call(std::function<T()> task, T fallback) {
    if (OnGuiThread()) {
        return task();
    }
    struct Answer {
        std::optional<T> value;
    };
    auto answer = std::make_shared<Answer>();
    Enqueue(0, [this, answer, task = std::move(task)] {
        T value = task();
        std::lock_guard lock(mutex_);
        answer->value = std::move(value);
        answered_.notify_all();
    });
    std::unique_lock lock(mutex_);
    answered_.wait(lock, [&] { return answer->value.has_value() || stopped_; });
    return answer->value.has_value() ? std::move(*answer->value) : fallback;
}

// The window as a run sees it: every call is carried to the GUI thread,
// questions wait for their answer (Cancel once the window has begun to go),
// the file-name text coalesces.
class BridgedWindow : public WindowInterface {
public:
    BridgedWindow(WindowInterface& window, GuiThreadBridge& bridge) : window_(window), bridge_(bridge) {}

    Answer Ask(const UserMessage& message) override;
    void SetFileNameText(const std::string& text) override;
    void ShowTransfer(const TransferDisplay& display) override;
    OverwriteAnswer AskOverwrite(const OverwriteQuestion& question) override;
    CertificateAnswer AskCertificate(const CertificateQuestion& question) override;
    CertificateAnswer AskHostKey(const HostKeyQuestion& question) override;
    std::optional<std::string> AskPassphrase(const std::string& keyFile) override;

private:
    WindowInterface& window_;
    GuiThreadBridge& bridge_;
};

} // namespace tidewell
