#include "core/remote/ftp/ReplyParser.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace tidewell::ftp {
namespace {

// Feeds the whole stream in pieces of `step` bytes and collects every reply.
struct Parsed {
    std::vector<Reply> replies;
    bool failed = false;
    std::string reason;
};

Parsed ParseAll(std::string_view stream, std::size_t step) {
    Parsed parsed;
    ReplyParser parser;
    std::size_t at = 0;
    while (at < stream.size()) {
        const auto piece = stream.substr(at, step);
        std::size_t used = 0;
        while (used < piece.size()) {
            used += parser.Feed(piece.substr(used));
            if (parser.GetState() == ReplyParser::State::Complete) {
                parsed.replies.push_back(parser.TakeReply());
            }
            if (parser.GetState() == ReplyParser::State::Failed) {
                parsed.failed = true;
                parsed.reason = parser.FailureReason();
                return parsed;
            }
        }
        at += piece.size();
    }
    return parsed;
}

class ReplyParserSteps : public ::testing::TestWithParam<std::size_t> {};

TEST_P(ReplyParserSteps, SplitsSingleAndMultiLineRepliesWhateverTheChunking) {
    const std::string stream = "220 Welcome\r\n"
                               "230-First line\r\n"
                               "230-still going\r\n"
                               " 230 indented, not the end\r\n"
                               "200 another valid code, not the end\r\n"
                               "\r\n"
                               "230 Done\r\n"
                               "257 \"/home\"\n"
                               "211-Features:\r\n"
                               " MLST type*;size*;\r\n"
                               "211\r\n";
    const auto parsed = ParseAll(stream, GetParam());
    ASSERT_FALSE(parsed.failed) << parsed.reason;
    std::vector<std::string> replies; // code, number of lines, last line
    for (const auto& reply : parsed.replies) {
        replies.push_back(std::to_string(reply.code) + " in " + std::to_string(reply.lines.size()) + ": " +
                          reply.lines.back());
    }
    // The bare LF after the 257 is accepted.
    EXPECT_THAT(replies, ::testing::ElementsAre("220 in 1: 220 Welcome", "230 in 6: 230 Done",
                                                "257 in 1: 257 \"/home\"", "211 in 3: 211"));
}

// In one piece (4096) the stream holds every reply: each Feed must stop at the
// end of its reply and leave the rest for the next.
INSTANTIATE_TEST_SUITE_P(Chunking, ReplyParserSteps, ::testing::Values(1, 2, 7, 4096));

TEST(ReplyParser, RefusesLinesThatAreNotReplies) {
    for (const std::string bad : {"hello\r\n", "22 short\r\n", "2200 four digits\r\n", "620 bad class\r\n",
                                  // control bytes hide where a reply ends
                                  "230 Lo\x01gin\r\n", "230 a\rb\r\n", "230-a\r\n x\x7f\r\n230 end\r\n"}) {
        const auto parsed = ParseAll(bad, 4096);
        EXPECT_TRUE(parsed.failed) << bad;
        EXPECT_TRUE(parsed.replies.empty()) << bad;
    }
}

// Both fail within a bounded amount of input instead of buffering without end.
TEST(ReplyParser, FailsOnOverlongLineAndEndlessMultiLineReply) {
    const std::tuple<const char*, std::string, std::size_t> cases[] = {
        {"220 ", std::string(4096, 'a'), ReplyParser::kMaxLineLength + 4096},
        {"211-start\r\n", " more of the same\r\n", ReplyParser::kMaxReplyBytes + 64},
    };
    for (const auto& [start, piece, bound] : cases) {
        ReplyParser parser;
        parser.Feed(start);
        std::size_t fed = 0;
        while (parser.GetState() == ReplyParser::State::NeedMore && fed < 4 * bound) {
            parser.Feed(piece);
            fed += piece.size();
        }
        EXPECT_EQ(parser.GetState(), ReplyParser::State::Failed) << start;
        EXPECT_LE(fed, bound) << start;
    }
}

TEST(ReplyParser, AcceptsAMaximalLine) {
    const std::string stream = "200 " + std::string(ReplyParser::kMaxLineLength - 4, 'x') + "\n";
    const auto parsed = ParseAll(stream, 1000);
    ASSERT_FALSE(parsed.failed) << parsed.reason;
    ASSERT_EQ(parsed.replies.size(), 1u);
    EXPECT_EQ(parsed.replies[0].lines[0].size(), ReplyParser::kMaxLineLength);
}

} // namespace
} // namespace tidewell::ftp
