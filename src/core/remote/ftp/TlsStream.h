#pragma once

#include "core/remote/ftp/Socket.h"
#include "core/remote/ftp/TlsTypes.h"

#include <cstddef>
#include <memory>
#include <string>

#include <openssl/ssl.h>

namespace tidewell::ftp {

class TlsContext;

struct SslFree {
    void operator()(SSL* ssl) const { SSL_free(ssl); }
};

// The client side of TLS on one non-blocking socket it does not own. Every
// call is one non-blocking step; the caller waits as the result says, within
// its own deadline. Freeing it sends nothing (Shutdown is the orderly close);
// when the server did not close in order, the sessions issued on it are dropped.
class TlsStream {
public:
    // `host` is checked against the certificate and, when it is a name, sent
    // as SNI. `resume` offers a session the server issued earlier (data connections).
    // Throws FtpException(kTlsFailed) when OpenSSL cannot set it up.
    TlsStream(TlsContext& context, int fd, const std::string& host, bool resume);
    TlsStream(const TlsStream&) = delete;
    TlsStream& operator=(const TlsStream&) = delete;
    ~TlsStream();

    IoResult Handshake();
    IoResult Read(char* buffer, std::size_t size);
    IoResult Write(const char* buffer, std::size_t size);
    // Sends close_notify; Done once it is on its way (the peer's is not awaited).
    IoResult Shutdown();
    // Decrypted or received bytes inside OpenSSL that no poll would show.
    bool HasPending() const { return SSL_has_pending(ssl_.get()) == 1; }
    // Why the last step failed.
    const std::string& Failure() const { return failure_; }

    // The peer's certificate and how it fared against the trust store and `host`.
    CertificateInfo Certificate() const;
    bool SamePeerCertificate(const TlsStream& other) const;

private:
    // Why the peer's certificate is not trusted, every reason found.
    std::string EveryProblem(X509* peer) const;
    IoResult Outcome(int rc, const char* what);

    TlsContext& context_;
    std::unique_ptr<SSL, SslFree> ssl_;
    std::string host_;
    std::string failure_;
};

} // namespace tidewell::ftp
