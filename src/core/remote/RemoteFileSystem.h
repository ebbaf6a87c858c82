#pragma once

#include "core/remote/CertificateQuestion.h"
#include "core/remote/RemoteHash.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tidewell {

// One entry of a remote directory.
struct RemoteEntry {
    std::string name;
    std::int64_t size = 0;
    std::int64_t time = 0; // last write, seconds since the epoch
    bool directory = false;
    bool link = false; // a symbolic link: a directory only if it can be entered
};

// Why a remote operation failed: a code of the protocol layer (its numbers are
// the ones messages show) and the server's reply text when it gave one.
class RemoteError : public std::runtime_error {
public:
    // The code of a failure the server reported in words (a refusal), in
    // every engine: the rest are the transport's.
    static constexpr std::uint32_t kRefused = 12003;

    RemoteError(std::uint32_t code, std::string serverReply, const std::string& what)
        : std::runtime_error(what), code_(code), reply_(std::move(serverReply)) {}

    std::uint32_t ErrorCode() const noexcept { return code_; }
    const std::string& ServerReply() const noexcept { return reply_; }

private:
    std::uint32_t code_;
    std::string reply_;
};

// A remote file open for reading or writing, always in binary. Reading: Read
// fills the buffer and returns fewer bytes only at the end of the file (ReadSome
// returns what has arrived), whose
// length is checked against every length known, so a cut-off download throws
// instead of ending quietly. Writing: WriteSpace gives room that the caller
// fills and CommitWrite sends. Close before the end abandons a download (the
// connection stays usable) and ends an upload, throwing when the server does
// not confirm the file. Failures throw RemoteError.
class RemoteStream {
public:
    virtual ~RemoteStream() = default;
    virtual std::size_t Read(void* buffer, std::size_t size) = 0;
    // What has arrived, up to `size`: waits only while nothing has. 0 at the
    // end, which is checked as Read checks it. A large buffer then costs a
    // slow link nothing, and a fast one far fewer calls.
    virtual std::size_t ReadSome(void* buffer, std::size_t size) = 0;
    // The most room WriteSpace gives at once.
    static constexpr std::size_t kMostWriteSpace = 128 * 1024;
    virtual char* WriteSpace(std::size_t size) = 0;
    virtual void CommitWrite(std::size_t filled) = 0;
    // False when the upload failed; Close then throws that failure.
    virtual bool Flush() = 0;
    virtual void Close() = 0;
};

// What the runs need of a remote file system: one logged-in connection to it.
// A run that wants a second connection (parallel transfers, a reconnect)
// opens a second instance from the same recipe. Paths are the server's; a
// name is one entry of the current directory. Only Open throws; the other
// operations report by their result. Waits are bounded, and cut short inside
// a CancelScope. One thread at a time.
class RemoteFileSystem {
public:
    virtual ~RemoteFileSystem() = default;

    enum class Listed { Found, Empty, Failed };
    struct Listing {
        Listed result = Listed::Empty;
        std::vector<RemoteEntry> entries; // "." and ".." left out
        std::string failure;              // why, when Failed
    };
    // The current directory. `marksLinks`: in a form that tells links apart
    // and shows hidden entries, for walks that must not follow a link blindly.
    virtual Listing List(bool marksLinks) = 0;

    // Moves to `path` (absolute, or relative to where the connection is).
    virtual bool Enter(std::string_view path) = 0;
    // Where the connection really is, as an absolute path: links resolved on
    // servers that resolve them. std::nullopt when the server will not say.
    virtual std::optional<std::string> RealPath() = 0;

    enum class Access { Read, Write };
    // Opens `name` at byte `offset` (a resumed transfer starts past 0).
    // `expectedSize`: a length the caller knows for a download (a listing's).
    virtual std::unique_ptr<RemoteStream> Open(std::string_view name, Access access, std::uint64_t offset = 0,
                                               std::optional<std::uint64_t> expectedSize = std::nullopt) = 0;
    virtual std::optional<std::uint64_t> Size(std::string_view name) = 0;

    virtual bool Delete(std::string_view path) = 0;
    virtual bool RemoveDirectory(std::string_view path) = 0;
    virtual bool MakeDirectory(std::string_view path) = 0;
    virtual bool Rename(std::string_view from, std::string_view to) = 0;
    // The two halves of Rename, for a caller that must know which was refused.
    virtual bool RenameFrom(std::string_view from) = 0;
    virtual bool RenameTo(std::string_view to) = 0;
    // Both halves in one round trip, RNTO sent without waiting for RNFR's
    // answer (a server that refused RNFR refuses RNTO too): which it took.
    struct Renamed {
        bool from = false;
        bool to = false;
    };
    virtual Renamed RenameAtOnce(std::string_view from, std::string_view to) = 0;

    virtual bool IsConnected() const = 0;
    // Whether a download may start past byte 0 (the server offers REST STREAM).
    virtual bool CanResume() const { return false; }
    // Tells the server the idle connection is still wanted (NOOP), so that it
    // is not dropped for idleness. False, and no longer connected, when the
    // connection turns out to be gone.
    virtual bool KeepAlive() = 0;
    // The text of the last reply to one of the calls above.
    virtual const std::string& LastReply() const = 0;
    // The protocol and certificate when encrypted; std::nullopt otherwise.
    virtual std::optional<ftp::CertificateInfo> Encryption() const = 0;
    // Data connections from now on are made by the client (passive). Runs on
    // several connections at once ask it of each, before their first transfer:
    // pyftpdlib serves a transfer in active mode at the expense of every other
    // connection, which then times out, and the first passive command after an
    // active transfer can leave another connection unread for good (it drops
    // the descriptor the old data connection had, which a newer connection may
    // hold by then).
    virtual void UsePassive() = 0;
    // Says goodbye and closes; the destructor does it too.
    virtual void Close() = 0;

    // The whole of `name`'s digest as the server computes it, by the strongest
    // algorithm it offers; std::nullopt when it offers none, refuses, or
    // answers in a form not understood.
    virtual std::optional<RemoteHash> Hash(std::string_view name) = 0;
};

} // namespace tidewell
