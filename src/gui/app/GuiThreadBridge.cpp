#include "gui/app/GuiThreadBridge.h"

#include <QMetaObject>

namespace tidewell {

namespace {
// Keys of the display updates that coalesce.
constexpr int kFileNameKey = 1;
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

int BridgedWindow::ShowMessageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                                  MessageButtons buttons) {
    return bridge_.Call<int>([=, this] { return window_.ShowMessageBox(text, caption, icon, buttons); },
                             IdCancel);
}

void BridgedWindow::SetIdleState(bool idle) {
    bridge_.Post([this, idle] { window_.SetIdleState(idle); });
}

void BridgedWindow::ShowLoggedOut() {
    bridge_.Post([this] { window_.ShowLoggedOut(); });
}

void BridgedWindow::SetFileNameText(const std::string& text) {
    bridge_.PostLatest(kFileNameKey, [this, text] { window_.SetFileNameText(text); });
}

void BridgedWindow::DeliverListing(ListingResult result) {
    auto shared = std::make_shared<ListingResult>(std::move(result));
    bridge_.Post([this, shared] { window_.DeliverListing(std::move(*shared)); });
}

} // namespace tidewell
