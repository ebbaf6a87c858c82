#pragma once

#include "core/app/RunController.h"
#include "core/session/ListingRun.h"
#include "core/session/RemoteSession.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace tidewell::test {

// The window as a run sees it, without widgets: the test's own thread plays the
// GUI thread (it runs what runs post to it), messages are answered OK,
// overwrite questions from a script, and everything shown is recorded.
class ScriptedRunHost : public RunHost, public WindowInterface {
public:
    std::vector<std::string> events; // test thread only
    // Certificate questions: the answers to give, and those asked (read them once the run has ended).
    std::deque<CertificateAnswer> certificateAnswers;
    std::vector<CertificateQuestion> certificateQuestions;
    std::deque<CertificateAnswer> hostKeyAnswers; // the same for host keys
    std::vector<HostKeyQuestion> hostKeyQuestions;
    std::optional<std::string> passphrase; // the answer to every passphrase question
    std::vector<std::string> passphraseQuestions;
    // Called on the run's thread with every display shown.
    std::function<void(const TransferDisplay&)> onTransfer;

    explicit ScriptedRunHost(std::deque<OverwriteAnswer> answers = {}) : answers_(std::move(answers)) {}

    void SetIdleState(bool idle) override { events.push_back(idle ? "idle" : "busy"); }
    WindowInterface& RunWindow() override { return *this; }
    void PostToGuiThread(std::function<void()> task) override {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
        posted_.notify_all();
    }

    Answer Ask(const UserMessage& message) override {
        std::lock_guard lock(mutex_);
        messages_.push_back(message);
        return Answer::Ok;
    }
    void SetFileNameText(const std::string& text) override {
        std::lock_guard lock(mutex_);
        fileNames_.push_back(text);
    }
    void ShowTransfer(const TransferDisplay& display) override {
        {
            std::lock_guard lock(mutex_);
            lastDisplay_ = display;
        }
        if (onTransfer) {
            onTransfer(display);
        }
    }
    OverwriteAnswer AskOverwrite(const OverwriteQuestion& question) override {
        return Next(questions_, answers_, question, OverwriteAnswer::Cancel);
    }
    // Answered from `certificateAnswers` (Cancel when it runs out); every question recorded.
    CertificateAnswer AskCertificate(const CertificateQuestion& question) override {
        return Next(certificateQuestions, certificateAnswers, question, CertificateAnswer::Cancel);
    }
    // Answered from `hostKeyAnswers` (Cancel when it runs out); every question recorded.
    CertificateAnswer AskHostKey(const HostKeyQuestion& question) override {
        return Next(hostKeyQuestions, hostKeyAnswers, question, CertificateAnswer::Cancel);
    }
    // `passphrase` for every key asked about, each recorded.
    std::optional<std::string> AskPassphrase(const std::string& keyFile) override {
        std::lock_guard lock(mutex_);
        passphraseQuestions.push_back(keyFile);
        return passphrase;
    }

    // Runs the posted tasks on this thread until done() holds; false after the bound.
    bool PumpUntil(const std::function<bool()>& done, std::chrono::seconds bound = std::chrono::seconds(60)) {
        const auto deadline = std::chrono::steady_clock::now() + bound;
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            std::unique_lock lock(mutex_);
            // In slices, since done() may wait on something the run does without posting.
            if (!posted_.wait_for(lock, std::chrono::milliseconds(10), [this] { return !tasks_.empty(); })) {
                continue;
            }
            auto task = std::move(tasks_.front());
            tasks_.pop_front();
            lock.unlock();
            task();
        }
        return true;
    }

    std::vector<UserMessage> Messages() const {
        std::lock_guard lock(mutex_);
        return messages_;
    }
    std::vector<std::string> FileNames() const {
        std::lock_guard lock(mutex_);
        return fileNames_;
    }
    std::vector<OverwriteQuestion> Questions() const {
        std::lock_guard lock(mutex_);
        return questions_;
    }
    TransferDisplay LastDisplay() const {
        std::lock_guard lock(mutex_);
        return lastDisplay_;
    }

private:
    // Records the question and gives the next answer, `otherwise` once they run out.
    template <class Question, class Answer>
    Answer Next(std::vector<Question>& asked, std::deque<Answer>& answers, const Question& question,
                Answer otherwise) {
        std::lock_guard lock(mutex_);
        asked.push_back(question);
        if (answers.empty()) {
            return otherwise;
        }
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    mutable std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<std::function<void()>> tasks_;
    std::deque<OverwriteAnswer> answers_;
    std::vector<UserMessage> messages_;
    std::vector<std::string> fileNames_;
    std::vector<OverwriteQuestion> questions_;
    TransferDisplay lastDisplay_;
};

// A scripted window, a session and its run controller: what a run test drives.
template <class Host = ScriptedRunHost> struct RunBench {
    explicit RunBench(std::deque<OverwriteAnswer> answers = {},
                      std::chrono::milliseconds timeout = std::chrono::seconds(10))
        : host(std::move(answers)), session(timeout) {}

    // Starts an R made of args and the callback it reports through; waits for its result.
    template <class R, class Result, class... Args> Result Run(Args&&... args) {
        std::optional<Result> result;
        EXPECT_TRUE(runs.Start(
            std::make_unique<R>(std::forward<Args>(args)..., [&](Result r) { result = std::move(r); })));
        EXPECT_TRUE(host.PumpUntil([&] { return result.has_value(); })) << "the run did not end";
        return result.value_or(Result{});
    }

    // An SSH server's host key is trusted for the next connection a run makes.
    template <class Server> void TrustOnce(const Server& server) {
        if (!server.Scheme().empty()) {
            host.hostKeyAnswers.push_back(CertificateAnswer::Trust);
        }
    }
    template <class Server> static SiteProfile SiteOf(const Server& server) {
        const auto& a = server.Address();
        return {server.Scheme() + a.host + ":" + std::to_string(a.port), a.user, a.password, ""};
    }
    // Logs in to the server's login directory, as the Login button does.
    template <class Server> void LogIn(const Server& server) {
        TrustOnce(server);
        Run<ListingRun, ListingOutcome>(session, SiteOf(server));
        EXPECT_TRUE(session.Connected()) << "no log-in";
    }

    Host host;
    RemoteSession session;
    RunController runs{host, session};
};

} // namespace tidewell::test
