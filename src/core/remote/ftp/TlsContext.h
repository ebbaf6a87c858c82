#pragma once

#include <memory>

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
// settings, the socket transport, and the session the server last issued, which
// every data connection resumes (servers such as vsftpd refuse one that does not).
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
    // The latest session the server issued on the control connection; nullptr before one came.
    SSL_SESSION* Session() const { return session_.get(); }
    // Only sessions issued on this connection are kept for resumption.
    void SetSessionSource(const SSL* ssl) { sessionSource_ = ssl; }

private:
    static int OnNewSession(SSL* ssl, SSL_SESSION* session);

    std::unique_ptr<SSL_CTX, SslCtxFree> context_;
    std::unique_ptr<BIO_METHOD, BioMethodFree> socketMethod_;
    std::unique_ptr<SSL_SESSION, SslSessionFree> session_;
    const SSL* sessionSource_ = nullptr;
};

} // namespace tidewell::ftp
