#pragma once

#include "core/remote/sftp/SftpChannel.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tidewell::sftp {

// A file open on the transfer channel, holding the channel's claim while it
// is open. Closing waits for the server's word; abandoning does not.
class SftpHandle {
public:
    // Opens `path` with SFTP's open flags (SSH_FXF_*); a file it creates gets
    // mode 0644. Throws RemoteError, with the server's words when it refused.
    SftpHandle(const std::shared_ptr<SftpChannel>& channel, const std::string& path, std::uint32_t flags);
    SftpHandle(const SftpHandle&) = delete;
    SftpHandle& operator=(const SftpHandle&) = delete;
    // Abandons the file when still open.
    ~SftpHandle();

    // The channel, while the file holds it (the session keeps it alive);
    // throws RemoteError once the file was closed or the channel went.
    SftpChannel& Channel();
    // The server's name for the open file, which requests carry.
    std::string_view Name() const { return name_; }
    // The file's length as the server sees it; nullopt when it gives none.
    std::optional<std::uint64_t> Size();
    // Closes and waits for the server's word, every other request of the file
    // answered by then; throws RemoteError when it refused.
    void Close();
    // Closes without waiting: what the server still sends for the file is
    // dropped when it comes.
    void Abandon() noexcept;

    // Throws the failure of `what` that `reply` reports: the server's words
    // when it is a STATUS, else the protocol broken.
    [[noreturn]] static void Refused(SftpChannel& channel, const SftpChannel::Reply& reply,
                                     const std::string& what);

private:
    std::weak_ptr<SftpChannel> channel_;
    std::uint64_t claim_ = 0;
    std::string name_;
    bool open_ = false;
};

} // namespace tidewell::sftp
