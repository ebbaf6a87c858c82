#pragma once

#include <memory>
#include <vector>

#include <openssl/ssl.h>

namespace tidewell::ftp {

struct SslCtxFree {
    void operator()(SSL_CTX* context) const { SSL_CTX_free(context); }
};
struct SslSessionFree {
    void operator()(SSL_SESSION* session) const { SSL_SESSION_free(session); }
};
struct BioMethodFree {
    void operator()(BIO_METHOD* method) const { BIO_meth_free(method); }
};

// The client side of TLS for one control connection and its data connections:
// settings, the socket transport, and the sessions the server issued, which
// data connections resume (servers such as vsftpd refuse one that does not).
// Lives at a fixed address: OpenSSL's callbacks find it through the SSL_CTX.
class TlsContext {
public:
    // Throws FtpException(kTlsFailed) when OpenSSL cannot make a context.
    TlsContext();
    TlsContext(const TlsContext&) = delete;
    TlsContext& operator=(const TlsContext&) = delete;

    SSL_CTX* Get() const { return context_.get(); }
    // A socket BIO on `fd` that never raises SIGPIPE; the caller owns it.
    BIO* NewSocketBio(int fd) const;
    // The session for the next data connection: the newest one not offered
    // yet (a TLS 1.3 server may take each only once), else the one offered
    // last; nullptr before the server issued any.
    SSL_SESSION* TakeSession();
    // Drops the sessions issued on a connection that did not end with the
    // server's close_notify: the server has most likely forgotten them.
    void ForgetSessionsFrom(const SSL* ssl);

private:
    static int OnNewSession(SSL* ssl, SSL_SESSION* session);

    std::unique_ptr<SSL_CTX, SslCtxFree> context_;
    std::unique_ptr<BIO_METHOD, BioMethodFree> socketMethod_;
    struct Issued {
        std::unique_ptr<SSL_SESSION, SslSessionFree> session;
        const SSL* source; // compared only, never used
    };
    std::vector<Issued> fresh_;
    std::unique_ptr<SSL_SESSION, SslSessionFree> offered_;
};

} // namespace tidewell::ftp
