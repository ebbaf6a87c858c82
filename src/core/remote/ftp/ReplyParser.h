#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tidewell::ftp {

// One complete server reply: its code and its lines without line ends.
struct Reply {
    int code = 0;
    std::vector<std::string> lines;

    bool IsPreliminary() const { return code >= 100 && code < 200; }
    bool IsSuccess() const { return code >= 200 && code < 300; }
    bool IsIntermediate() const { return code >= 300 && code < 400; }
    bool IsError() const { return code >= 400; }
    // The whole reply as the server sent it, lines joined with '\n'.
    std::string Text() const;
};

// Splits a byte stream into RFC 959 replies. Knows nothing of sockets, so it can
// be fed any bytes. Lines end at LF (a CR before it is dropped). A multi-line
// reply starts with "ddd-" and ends at a line starting with the same "ddd " (or
// being just "ddd"); lines between are taken as they are, whatever they start with.
// A line holding a control byte other than tab (NUL, a lone CR...) is malformed.
class ReplyParser {
public:
    static constexpr std::size_t kMaxLineLength = 64 * 1024;
    static constexpr std::size_t kMaxReplyBytes = 1024 * 1024;
    static constexpr std::size_t kMaxReplyLines = 10000;

    enum class State { NeedMore, Complete, Failed };

    // Consumes bytes up to the end of one reply at most and returns how many it
    // took; the caller keeps the rest for the next reply.
    std::size_t Feed(std::string_view bytes);

    State GetState() const { return state_; }
    // The completed reply; the parser starts afresh on the next Feed.
    Reply TakeReply();
    // Why the stream is not a reply stream (when Failed).
    const std::string& FailureReason() const { return failure_; }

private:
    void EndLine();
    void Fail(std::string reason);

    State state_ = State::NeedMore;
    std::string line_;
    Reply reply_;
    std::size_t replyBytes_ = 0;
    bool multiLine_ = false;
    std::string failure_;
};

} // namespace tidewell::ftp
