// Feeds arbitrary bytes, in arbitrary pieces, to the reply parser.
#include "core/remote/ftp/ReplyParser.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

using tidewell::ftp::ReplyParser;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    // The first byte sets the piece size, so the fuzzer explores the chunking too.
    const std::size_t step = 1 + data[0] % 64;
    const std::string_view stream(reinterpret_cast<const char*>(data + 1), size - 1);
    ReplyParser parser;
    std::size_t at = 0;
    while (at < stream.size()) {
        const auto piece = stream.substr(at, step);
        const auto used = parser.Feed(piece);
        if (used > piece.size())
            std::abort();
        if (parser.GetState() == ReplyParser::State::Failed)
            return 0;
        if (parser.GetState() == ReplyParser::State::Complete) {
            const auto reply = parser.TakeReply();
            if (reply.code < 100 || reply.code > 599 || reply.lines.empty())
                std::abort();
            std::size_t bytes = 0;
            for (const auto& line : reply.lines) {
                if (line.size() > ReplyParser::kMaxLineLength)
                    std::abort();
                bytes += line.size() + 1;
            }
            if (bytes > ReplyParser::kMaxReplyBytes)
                std::abort();
            (void)reply.Text();
        } else if (used != piece.size()) {
            std::abort(); // an unfinished reply takes everything it is given
        }
        at += used;
    }
    return 0;
}
