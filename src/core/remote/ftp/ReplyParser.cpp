#include "core/remote/ftp/ReplyParser.h"

#include <algorithm>

namespace tidewell::ftp {

namespace {
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The code of a line that starts with three digits, the first 1 to 5; -1 otherwise.
int LeadingCode(std::string_view line) {
    if (line.size() < 3 || !IsDigit(line[0]) || !IsDigit(line[1]) || !IsDigit(line[2])) {
        return -1;
    }
    if (line[0] < '1' || line[0] > '5') {
        return -1;
    }
    return (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
}
} // namespace

std::string Reply::Text() const {
    std::string text;
    for (const auto& line : lines) {
        if (!text.empty()) {
            text += '\n';
        }
        text += line;
    }
    return text;
}

std::size_t ReplyParser::Feed(std::string_view bytes) {
    if (state_ == State::Complete) {
        reply_ = Reply{};
        replyBytes_ = 0;
        multiLine_ = false;
        state_ = State::NeedMore;
    }
    std::size_t used = 0;
    while (used < bytes.size() && state_ == State::NeedMore) {
        const auto rest = bytes.substr(used);
        const auto lf = rest.find('\n');
        const auto take = lf == std::string_view::npos ? rest.size() : lf;
        if (line_.size() + take > kMaxLineLength) {
            Fail("reply line too long");
            return used + take;
        }
        line_.append(rest.data(), take);
        used += take;
        if (lf == std::string_view::npos) {
            break;
        }
        ++used; // the LF
        EndLine();
    }
    return used;
}

void ReplyParser::EndLine() {
    if (!line_.empty() && line_.back() == '\r') {
        line_.pop_back();
    }
    replyBytes_ += line_.size() + 1;
    if (replyBytes_ > kMaxReplyBytes || reply_.lines.size() >= kMaxReplyLines) {
        Fail("reply too long");
        return;
    }
    std::string line;
    line.swap(line_);
    // A control byte has no place in a reply; such a line hides where the reply ends.
    const auto control = std::find_if(line.begin(), line.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte < 0x20 && c != '\t') || byte == 0x7f;
    });
    if (control != line.end()) {
        Fail("malformed reply: control character in a reply line");
        return;
    }
    if (!multiLine_) {
        const int code = LeadingCode(line);
        if (code < 0 || (line.size() > 3 && line[3] != ' ' && line[3] != '-')) {
            Fail("malformed reply: " + line.substr(0, 80));
            return;
        }
        reply_.code = code;
        multiLine_ = line.size() > 3 && line[3] == '-';
        reply_.lines.push_back(std::move(line));
        if (!multiLine_) {
            state_ = State::Complete;
        }
        return;
    }
    const bool last = LeadingCode(line) == reply_.code && (line.size() == 3 || line[3] == ' ');
    reply_.lines.push_back(std::move(line));
    if (last) {
        state_ = State::Complete;
    }
}

void ReplyParser::Fail(std::string reason) {
    state_ = State::Failed;
    failure_ = std::move(reason);
    line_.clear();
    line_.shrink_to_fit();
    reply_ = Reply{};
}

Reply ReplyParser::TakeReply() {
    Reply taken = std::move(reply_);
    reply_ = Reply{};
    return taken;
}

} // namespace tidewell::ftp
