#pragma once

#include "ProcessMeter.h"

#include "core/app/RunController.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <functional>
#include <mutex>

namespace tidewell::bench {

// The least a run needs to go without a window: the calling thread plays the
// GUI thread (it runs what the run posts), displays are counted and dropped,
// messages are printed and counted, an overwrite question is answered with
// `overwriteAnswer` (Cancel, counted as a message, unless the benchmark writes
// over what is there on purpose) and the completion notice is counted.
class HeadlessRunHost : public RunHost, public WindowInterface {
public:
    OverwriteAnswer overwriteAnswer = OverwriteAnswer::Cancel;

    void SetIdleState(bool) override {}
    WindowInterface& RunWindow() override { return *this; }
    void PostToGuiThread(std::function<void()> task) override {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
        posted_.notify_all();
    }

    Answer Ask(const UserMessage& message) override {
        std::fprintf(stderr, "%s: %s\n", message.caption.c_str(), message.text.c_str());
        std::lock_guard lock(mutex_);
        ++messages_;
        return Answer::Ok;
    }
    void SetFileNameText(const std::string&) override {}
    void ShowTransfer(const TransferDisplay&) override {
        std::lock_guard lock(mutex_);
        ++displays_;
    }
    OverwriteAnswer AskOverwrite(const OverwriteQuestion& question) override {
        if (overwriteAnswer == OverwriteAnswer::Cancel) {
            std::fprintf(stderr, "asked to overwrite %s\n", question.fileLine.c_str());
            std::lock_guard lock(mutex_);
            ++messages_;
        }
        return overwriteAnswer;
    }
    // A benchmark server's own certificate is trusted for the run.
    CertificateAnswer AskCertificate(const CertificateQuestion&) override { return CertificateAnswer::Trust; }
    CertificateAnswer AskHostKey(const HostKeyQuestion&) override { return CertificateAnswer::Trust; }
    std::optional<std::string> AskPassphrase(const std::string&) override { return std::nullopt; }
    // Runs the posted tasks on this thread until done() holds; false after the bound.
    bool PumpUntil(const std::function<bool()>& done, std::chrono::seconds bound) {
        const auto deadline = std::chrono::steady_clock::now() + bound;
        while (!done()) {
            std::unique_lock lock(mutex_);
            if (!posted_.wait_until(lock, deadline, [this] { return !tasks_.empty(); })) {
                return done();
            }
            auto task = std::move(tasks_.front());
            tasks_.pop_front();
            lock.unlock();
            task();
        }
        return true;
    }

    // Runs the posted tasks until the run ends (false after the bound) and
    // prints the run's figures: seconds, CPU seconds, RSS growth in MB and
    // displays handed over. The exit status: 0 when the run ended quietly
    // and complete.
    int MeasureRun(bench::ProcessMeter& meter, bool started, const bool& ended, const bool& complete,
                   std::chrono::seconds bound) {
        if (!started || !PumpUntil([&] { return ended; }, bound)) {
            std::fprintf(stderr, "the run did not end\n");
            return 1;
        }
        meter.Stop();
        if (Messages() > 0 || !complete) {
            std::fprintf(stderr, "%d messages, %s\n", Messages(), complete ? "complete" : "not complete");
            return 1;
        }
        std::printf("%.3f %.3f %.1f %d\n", meter.Seconds(), meter.CpuSecondsUsed(), meter.RssGrowthMb(),
                    Displays());
        return 0;
    }

    int Messages() const {
        std::lock_guard lock(mutex_);
        return messages_;
    }
    int Displays() const {
        std::lock_guard lock(mutex_);
        return displays_;
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<std::function<void()>> tasks_;
    int messages_ = 0;
    int displays_ = 0;
};

} // namespace tidewell::bench
