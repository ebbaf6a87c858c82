#pragma once

#include "core/remote/RemoteFileSystem.h"
#include "core/remote/ftp/ControlChannel.h"
#include "core/remote/ftp/Socket.h"
#include "core/remote/ftp/TlsStream.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tidewell::ftp {

// One command with a data connection (RETR, STOR, LIST, MLSD) from its start to
// the server's final reply. Active mode first; when the server refuses it or no
// data connection arrives, passive mode for the rest of the control connection.
// A transfer is a success only when the data connection ended in order AND the
// final reply is positive.
class DataTransfer {
public:
    enum class Direction { Receive, Send };

    // Starts `command`. nullptr when the server refused it; its reply is in `refusal`.
    // Transport failures throw FtpException, as does a passive mode in which
    // neither EPSV nor PASV gives a data connection.
    static std::unique_ptr<DataTransfer> Start(std::shared_ptr<ControlChannel> channel,
                                               const std::string& command, Direction direction,
                                               Reply& refusal);

    DataTransfer(std::shared_ptr<ControlChannel> channel, Socket data, Direction direction);
    DataTransfer(const DataTransfer&) = delete;
    DataTransfer& operator=(const DataTransfer&) = delete;
    ~DataTransfer();

    // A length the whole download must come to, and where it was learnt ("SIZE",
    // "the listing"). Checked at the end, together with the length a 150 reply
    // announces ("(12345 bytes)"); any disagreement fails the download.
    void ExpectSize(std::uint64_t size, const char* source);
    // The transfer starts past byte 0 (REST): no length known or announced is
    // the rest's (vsftpd announces the whole file's), so none is checked.
    void FromOffset();

    // Fills `buffer` with up to `size` bytes straight from the socket; fewer only at
    // the end, 0 after it. Throws when the transfer fails.
    std::size_t Receive(char* buffer, std::size_t size);
    // The same, but returns as soon as something has arrived, with all that has.
    std::size_t ReceiveSome(char* buffer, std::size_t size);
    // Sends all `size` bytes. Throws when the transfer fails.
    void Send(const char* buffer, std::size_t size);
    // Sending in place: room for up to `size` bytes (at most kSendBufferBytes)
    // after what is gathered, for the caller to fill; CommitSend takes the
    // first `filled` of them. Saves the copy that Send makes.
    char* SendSpace(std::size_t size);
    void CommitSend(std::size_t filled);
    // Sends what Send has gathered so far. Throws when the transfer fails.
    void FlushSend();
    // Ends an upload: closes the data connection and checks the final reply (throws).
    void FinishSend();
    // Gives up a transfer half-way: drops the data connection and takes the
    // server's reply, so the control connection stays usable. Never throws.
    void Abandon() noexcept;

    bool Finished() const { return finished_; }

private:
    struct Expectation {
        std::uint64_t size;
        std::string source;
    };

    // TLS on the data connection when the control connection has it.
    void Secure();
    // Waits as a non-blocking step asked; false when the step did not ask to wait.
    bool WaitAsAsked(const IoResult& result);
    // After an upload: close_notify, the end of our side, then the server's verdict.
    void CloseSecureSend();
    void WaitForData(short events);
    void CompleteReceive();
    std::size_t ReceiveUpTo(char* buffer, std::size_t size, bool some);
    void CheckLength() const;
    // The next reply on the control connection; a preliminary one may announce the length.
    Reply ReadReply(Clock::time_point deadline);
    Reply ReadFinalReply(Clock::time_point deadline);
    void NotePreliminary(const Reply& reply);
    // Closes the data connection, takes the server's verdict on the transfer
    // and frees the control connection; throws when the server reports failure.
    void Conclude();
    void SendNow(const char* buffer, std::size_t size);
    [[noreturn]] void Fail(std::uint32_t code, std::string text);
    void Release() noexcept;

    std::shared_ptr<ControlChannel> channel_;
    Socket data_;
    std::unique_ptr<TlsStream> tls_;
    Direction direction_;
    std::optional<Reply> finalReply_;
    std::vector<Expectation> expected_;
    std::uint64_t transferred_ = 0;
    bool finished_ = false;
    bool fromOffset_ = false;
    bool endSeen_ = false;               // the data ended; its verdict is taken on the next read
    std::unique_ptr<char[]> sendBuffer_; // one per upload, not per block
    std::size_t sendFill_ = 0;
    static constexpr std::size_t kSendBufferBytes = RemoteStream::kMostWriteSpace;
};

} // namespace tidewell::ftp
