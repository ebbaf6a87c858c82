#include "core/remote/ftp/TlsContext.h"

#include "core/remote/ftp/FtpException.h"

#include <cerrno>
#include <cstdint>
#include <sys/socket.h>

#include <openssl/bio.h>
#include <openssl/err.h>

namespace tidewell::ftp {

namespace {

int DescriptorOf(BIO* bio) {
    return static_cast<int>(reinterpret_cast<std::intptr_t>(BIO_get_data(bio)));
}

// OpenSSL's own socket BIO writes with write(), which raises SIGPIPE on a
// connection the peer has closed; the engine never lets a signal end the process.
int SocketWrite(BIO* bio, const char* data, int size) {
    BIO_clear_retry_flags(bio);
    for (;;) {
        const auto n = ::send(DescriptorOf(bio), data, static_cast<std::size_t>(size), MSG_NOSIGNAL);
        if (n >= 0) {
            return static_cast<int>(n);
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            BIO_set_retry_write(bio);
        }
        return -1;
    }
}

int SocketRead(BIO* bio, char* data, int size) {
    BIO_clear_retry_flags(bio);
    for (;;) {
        const auto n = ::recv(DescriptorOf(bio), data, static_cast<std::size_t>(size), 0);
        if (n > 0) {
            return static_cast<int>(n);
        }
        if (n == 0) {
            // Lets OpenSSL tell an end without close_notify from other failures.
            BIO_set_flags(bio, BIO_FLAGS_IN_EOF);
            return 0;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            BIO_set_retry_read(bio);
        }
        return -1;
    }
}

long SocketControl(BIO* bio, int command, long, void*) {
    switch (command) {
    case BIO_CTRL_FLUSH:
        return 1;
    case BIO_CTRL_EOF:
        return BIO_test_flags(bio, BIO_FLAGS_IN_EOF) != 0 ? 1 : 0;
    default:
        return 0;
    }
}

std::unique_ptr<BIO_METHOD, BioMethodFree> MakeSocketMethod() {
    std::unique_ptr<BIO_METHOD, BioMethodFree> method(
        BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK | BIO_TYPE_DESCRIPTOR, "tidewell socket"));
    if (method && BIO_meth_set_write(method.get(), SocketWrite) == 1 &&
        BIO_meth_set_read(method.get(), SocketRead) == 1 &&
        BIO_meth_set_ctrl(method.get(), SocketControl) == 1) {
        return method;
    }
    return nullptr;
}

} // namespace

TlsContext::TlsContext() : context_(SSL_CTX_new(TLS_client_method())), socketMethod_(MakeSocketMethod()) {
    if (!context_ || !socketMethod_ || SSL_CTX_set_min_proto_version(context_.get(), TLS1_2_VERSION) != 1) {
        ERR_clear_error();
        throw FtpException(error::kTlsFailed, "OpenSSL could not set up TLS");
    }
    // Verification is recorded, not enforced: a certificate the trust store does
    // not vouch for goes to the judge instead of ending the handshake.
    SSL_CTX_set_verify(context_.get(), SSL_VERIFY_NONE, nullptr);
    SSL_CTX_set_default_verify_paths(context_.get());
    SSL_CTX_set_mode(context_.get(), SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
    // TLS 1.3 sessions come after the handshake; the callback is how a client learns of them.
    SSL_CTX_set_session_cache_mode(context_.get(), SSL_SESS_CACHE_CLIENT | SSL_SESS_CACHE_NO_INTERNAL_STORE);
    SSL_CTX_sess_set_new_cb(context_.get(), &TlsContext::OnNewSession);
    SSL_CTX_set_app_data(context_.get(), this);
    ERR_clear_error();
}

BIO* TlsContext::NewSocketBio(int fd) const {
    BIO* bio = BIO_new(socketMethod_.get());
    if (bio != nullptr) {
        BIO_set_data(bio, reinterpret_cast<void*>(static_cast<std::intptr_t>(fd)));
        BIO_set_init(bio, 1);
    }
    return bio;
}

SSL_SESSION* TlsContext::TakeSession() {
    if (!fresh_.empty()) {
        offered_ = std::move(fresh_.back().session);
        fresh_.pop_back();
    }
    return offered_.get();
}

void TlsContext::ForgetSessionsFrom(const SSL* ssl) {
    std::erase_if(fresh_, [ssl](const Issued& issued) { return issued.source == ssl; });
}

int TlsContext::OnNewSession(SSL* ssl, SSL_SESSION* session) {
    constexpr std::size_t kKept = 4;
    auto* self = static_cast<TlsContext*>(SSL_CTX_get_app_data(SSL_get_SSL_CTX(ssl)));
    if (self == nullptr) {
        return 0;
    }
    if (self->fresh_.size() == kKept) {
        self->fresh_.erase(self->fresh_.begin());
    }
    self->fresh_.push_back(
        {std::unique_ptr<SSL_SESSION, SslSessionFree>(session), ssl}); // 1 hands us the reference
    return 1;
}

} // namespace tidewell::ftp
