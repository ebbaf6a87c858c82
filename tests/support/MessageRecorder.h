#pragma once

#include "gui/ui/MessageBox.h"

#include <QApplication>
#include <QWidget>
#include <gtest/gtest.h>

#include <deque>
#include <vector>

namespace tidewell::test {

// Answers the program's message boxes from a script and records each one.
class MessageRecorder {
public:
    struct Call {
        MessageRequest request;
    };

    explicit MessageRecorder(std::deque<int> answers = {})
        : answers_(std::move(answers)),
          hook_([this](const MessageRequest& request) { return Answer(request); }) {}

    const std::vector<MessageRequest>& Calls() const { return calls_; }

private:
    int Answer(const MessageRequest& request) {
        calls_.push_back(request);
        if (answers_.empty()) {
            if (request.buttons == MessageButtons::Ok) {
                return IdOk;
            }
            ADD_FAILURE() << "no scripted answer for: " << request.text.toStdString();
            return IdCancel;
        }
        const int answer = answers_.front();
        answers_.pop_front();
        return answer;
    }

    std::deque<int> answers_;
    std::vector<MessageRequest> calls_;
    ScopedMessageHook hook_;
};

} // namespace tidewell::test
