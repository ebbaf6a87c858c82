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
    explicit MessageRecorder(std::deque<tidewell::Answer> answers = {})
        : answers_(std::move(answers)),
          hook_([this](const MessageRequest& request) { return Reply(request); }) {}

    const std::vector<MessageRequest>& Calls() const { return calls_; }

private:
    tidewell::Answer Reply(const MessageRequest& request) {
        calls_.push_back(request);
        if (answers_.empty()) {
            if (request.buttons == MessageButtons::Ok) {
                return Answer::Ok;
            }
            ADD_FAILURE() << "no scripted answer for: " << request.text.toStdString();
            return Answer::Cancel;
        }
        const tidewell::Answer answer = answers_.front();
        answers_.pop_front();
        return answer;
    }

    std::deque<tidewell::Answer> answers_;
    std::vector<MessageRequest> calls_;
    ScopedMessageHook hook_;
};

} // namespace tidewell::test
