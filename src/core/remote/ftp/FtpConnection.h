#pragma once

#include "core/remote/RemoteHash.h"
#include "core/remote/ftp/FtpFile.h"
#include "core/remote/ftp/ListingParser.h"
#include "core/remote/ftp/TlsTypes.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tidewell::ftp {

class ControlChannel;
struct Reply;

// One logged-in control connection. Every operation acts in the connection's
// current remote directory. Only OpenFile and ReadListing throw (FtpException); the others
// report by their result and fail at once, sending nothing, for a name that
// holds CR, LF or NUL. One thread at a time.
class FtpConnection {
public:
    explicit FtpConnection(std::shared_ptr<ControlChannel> channel);
    FtpConnection(const FtpConnection&) = delete;
    FtpConnection& operator=(const FtpConnection&) = delete;
    ~FtpConnection();

    // The server's current directory, an absolute path.
    bool GetCurrentDirectory(std::string& directory);
    bool SetCurrentDirectory(std::string_view path);
    bool CreateDirectory(std::string_view name);
    bool RemoveDirectory(std::string_view name);
    bool Remove(std::string_view name);
    bool Rename(std::string_view from, std::string_view to);
    // The two halves of Rename, for a caller that must know which was refused.
    bool RenameFrom(std::string_view from);
    bool RenameTo(std::string_view to);
    // RNFR and RNTO sent together: whether each was taken.
    std::pair<bool, bool> RenameAtOnce(std::string_view from, std::string_view to);
    // Opens a file for download (Read) or upload (Write; created or replaced).
    // `listedSize`, the size a listing gave, is one more length the download
    // must come to (see FtpFile).
    // From byte `offset` (REST) when it is past 0; the lengths known then are
    // not checked, since servers differ in what they announce for the rest.
    std::unique_ptr<FtpFile> OpenFile(std::string_view name, FtpFile::Access access,
                                      std::optional<std::uint64_t> listedSize = std::nullopt,
                                      std::uint64_t offset = 0);
    // The size SIZE gives; std::nullopt when the server will not say.
    std::optional<std::uint64_t> RemoteSize(std::string_view name);
    // The whole file's digest by the strongest hash command FEAT offers;
    // std::nullopt when none is, or the server refuses or answers unreadably.
    std::optional<RemoteHash> FileHash(std::string_view name);

    // The current directory's listing as the server sent it, hidden entries
    // included where the server can: MLSD when offered, else "LIST -a" (plain
    // LIST on a server that turned the option down); LIST alone when
    // `marksLinks`, since some servers' MLSD describes a link by its target's
    // type. At most `maxBytes`; more fails.
    struct Listing {
        std::string data;
        ListingFormat format = ListingFormat::List;
    };
    Listing ReadListing(std::size_t maxBytes, bool marksLinks = false);

    // Says QUIT and closes; the destructor does it too.
    void Close();
    bool IsConnected() const;
    // FEAT offered REST, which means REST STREAM: a transfer may start past byte 0.
    bool CanResume() const;
    // NOOP, so that the server does not drop the idle connection; LastReply
    // stays as it was. False, the connection closed, when it is gone (421 included).
    bool KeepAlive();
    // The protocol and certificate of an encrypted connection; std::nullopt for plain FTP.
    std::optional<CertificateInfo> Encryption() const;
    // Whether data connections are passive (asked for, or active mode failed).
    bool UsesPassive() const;
    // Passive for every data connection from now on.
    void PreferPassive();
    void SetTimeout(std::chrono::milliseconds timeout);
    // The text of the last reply the server gave to one of the calls above.
    const std::string& LastReply() const { return lastReply_; }

private:
    bool Simple(std::string_view verb, std::string_view argument, int expected);
    // Throws unless a transfer of `name` may start now.
    void CheckCanStart(std::string_view name) const;
    // One listing command's data; std::nullopt when the server refused to start
    // it (its reply in `refusal`). Throws when it fails once started.
    std::optional<std::string> TryListing(const char* command, std::size_t maxBytes, Reply& refusal);
    // The same, a refusal thrown.
    std::string FetchListing(const char* command, std::size_t maxBytes);
    std::string ReadList(std::size_t maxBytes);
    [[noreturn]] void Refused(const Reply& refusal);

    std::shared_ptr<ControlChannel> channel_;
    std::string lastReply_;
    // SIZE was answered "unknown command": not asked again on this connection.
    bool sizeUnknown_ = false;
    // Whether "LIST -a" serves here; unknown until a listing has shown it.
    std::optional<bool> listsHidden_;
    // The algorithm OPTS HASH chose on this connection; before that, FEAT's.
    std::optional<std::string> hashChosen_;
    // Algorithms OPTS HASH refused here: not asked for again.
    std::vector<std::string> hashRefused_;
};

} // namespace tidewell::ftp
