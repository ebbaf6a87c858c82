#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_set>
#include <vector>

namespace tidewell::sftp {

class SftpHandle;

// The writes of one upload, sent without waiting for each answer. The room
// the caller fills has space in front for the header of a request, and each
// later request's header goes over data already sent, so data is never
// copied here. The upload is whole only once every write was confirmed.
class SftpUpload {
public:
    SftpUpload(SftpHandle& handle, std::uint64_t offset);

    // Room for up to RemoteStream::kMostWriteSpace bytes.
    char* Space();
    // Sends what the caller put in Space(); waits only while too much is
    // unconfirmed. Throws RemoteError when the server refused a write.
    void Commit(std::size_t filled);
    // Waits until every write was confirmed; throws RemoteError when one was refused.
    void Confirm();

    // Data sent and not yet confirmed, at most.
    static constexpr std::size_t kInFlight = 4 * 1024 * 1024;

private:
    void Settle(std::size_t most);

    SftpHandle& handle_;
    std::uint64_t position_;
    std::vector<char> buffer_;
    std::unordered_set<std::uint32_t> unconfirmed_;
};

} // namespace tidewell::sftp
