#include "core/remote/ftp/TlsStream.h"

#include "core/remote/ftp/FtpException.h"
#include "core/remote/ftp/TlsContext.h"

#include <algorithm>
#include <arpa/inet.h>
#include <climits>
#include <ctime>
#include <memory>
#include <vector>

#include <openssl/err.h>
#include <openssl/x509v3.h>

namespace tidewell::ftp {

namespace {

struct X509Free {
    void operator()(X509* certificate) const { X509_free(certificate); }
};
struct BioFree {
    void operator()(BIO* bio) const { BIO_free(bio); }
};
using X509Ptr = std::unique_ptr<X509, X509Free>;

bool IsAddress(const std::string& host) {
    unsigned char bytes[sizeof(in6_addr)];
    return ::inet_pton(AF_INET, host.c_str(), bytes) == 1 || ::inet_pton(AF_INET6, host.c_str(), bytes) == 1;
}

std::string OneLine(const X509_NAME* name) {
    std::unique_ptr<BIO, BioFree> out(BIO_new(BIO_s_mem()));
    if (!out || X509_NAME_print_ex(out.get(), name, 0, XN_FLAG_ONELINE & ~ASN1_STRFLGS_ESC_MSB) < 0) {
        return {};
    }
    char* data = nullptr;
    const long size = BIO_get_mem_data(out.get(), &data);
    return size > 0 ? std::string(data, static_cast<std::size_t>(size)) : std::string();
}

std::string UtcText(const ASN1_TIME* time) {
    std::tm parts{};
    if (time == nullptr || ASN1_TIME_to_tm(time, &parts) != 1) {
        return {};
    }
    char text[32];
    return std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &parts) > 0 ? text : "";
}

std::string Sha256Fingerprint(const X509* certificate) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (X509_digest(certificate, EVP_sha256(), digest, &length) != 1) {
        return {};
    }
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (unsigned int i = 0; i < length; ++i) {
        if (i > 0) {
            text += ':';
        }
        text += kHex[digest[i] >> 4];
        text += kHex[digest[i] & 15];
    }
    return text;
}

// The first error OpenSSL queued, for messages.
std::string OpenSslError(const char* what) {
    const unsigned long code = ERR_get_error();
    ERR_clear_error();
    std::string text = what;
    if (code != 0) {
        char reason[256];
        ERR_error_string_n(code, reason, sizeof reason);
        text += std::string(": ") + reason;
    }
    return text;
}

} // namespace

TlsStream::TlsStream(TlsContext& context, int fd, const std::string& host, bool resume)
    : context_(context), ssl_(SSL_new(context.Get())), host_(host) {
    BIO* bio = ssl_ ? context.NewSocketBio(fd) : nullptr;
    if (bio == nullptr) {
        throw FtpException(error::kTlsFailed, OpenSslError("OpenSSL could not set up a TLS connection"));
    }
    SSL_set_bio(ssl_.get(), bio, bio); // one reference, owned by the SSL from here
    const bool address = IsAddress(host);
    const bool checked = address
                             ? X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl_.get()), host.c_str()) == 1
                             : SSL_set1_host(ssl_.get(), host.c_str()) == 1 &&
                                   SSL_set_tlsext_host_name(ssl_.get(), host.c_str()) == 1;
    if (!checked) {
        throw FtpException(error::kTlsFailed,
                           OpenSslError(("cannot check a certificate for " + host).c_str()));
    }
    if (SSL_SESSION* session = resume ? context.TakeSession() : nullptr) {
        SSL_set_session(ssl_.get(), session);
    }
    SSL_set_connect_state(ssl_.get());
}

TlsStream::~TlsStream() {
    if (ssl_ && (SSL_get_shutdown(ssl_.get()) & SSL_RECEIVED_SHUTDOWN) == 0) {
        context_.ForgetSessionsFrom(ssl_.get());
    }
}

IoResult TlsStream::Outcome(int rc, const char* what) {
    if (rc > 0) {
        return {IoStatus::Done, static_cast<std::size_t>(rc)};
    }
    const int code = SSL_get_error(ssl_.get(), rc);
    switch (code) {
    case SSL_ERROR_WANT_READ:
        return {IoStatus::WantRead, 0};
    case SSL_ERROR_WANT_WRITE:
        return {IoStatus::WantWrite, 0};
    case SSL_ERROR_ZERO_RETURN:
        return {IoStatus::Closed, 0};
    default:
        break;
    }
    if (code == SSL_ERROR_SSL && ERR_GET_REASON(ERR_peek_error()) == SSL_R_UNEXPECTED_EOF_WHILE_READING) {
        ERR_clear_error();
        failure_ = std::string(what) + ": the server ended the connection without a TLS close";
        return {IoStatus::Truncated, 0};
    }
    failure_ = OpenSslError(what);
    return {IoStatus::Failed, 0};
}

IoResult TlsStream::Handshake() {
    ERR_clear_error();
    const auto result = Outcome(SSL_do_handshake(ssl_.get()), "TLS handshake");
    // The handshake reports success once, with no byte count.
    return result.status == IoStatus::Done ? IoResult{IoStatus::Done, 0} : result;
}

IoResult TlsStream::Read(char* buffer, std::size_t size) {
    ERR_clear_error();
    return Outcome(SSL_read(ssl_.get(), buffer, static_cast<int>(std::min<std::size_t>(size, INT_MAX))),
                   "TLS read");
}

IoResult TlsStream::Write(const char* buffer, std::size_t size) {
    ERR_clear_error();
    return Outcome(SSL_write(ssl_.get(), buffer, static_cast<int>(std::min<std::size_t>(size, INT_MAX))),
                   "TLS write");
}

IoResult TlsStream::Shutdown() {
    ERR_clear_error();
    const int rc = SSL_shutdown(ssl_.get());
    if (rc >= 0) {
        return {IoStatus::Done, 0};
    }
    return Outcome(rc, "TLS close");
}

CertificateInfo TlsStream::Certificate() const {
    CertificateInfo info;
    info.host = host_;
    info.tlsVersion = SSL_get_version(ssl_.get());
    const X509Ptr peer(SSL_get1_peer_certificate(ssl_.get()));
    if (!peer) {
        info.problem = "the server sent no certificate";
        return info;
    }
    info.subject = OneLine(X509_get_subject_name(peer.get()));
    info.issuer = OneLine(X509_get_issuer_name(peer.get()));
    info.notBefore = UtcText(X509_get0_notBefore(peer.get()));
    info.notAfter = UtcText(X509_get0_notAfter(peer.get()));
    info.sha256 = Sha256Fingerprint(peer.get());
    if (SSL_get_verify_result(ssl_.get()) != X509_V_OK) {
        info.problem = EveryProblem(peer.get());
    }
    return info;
}

// The handshake's verdict names one problem; the user deciding about the
// certificate is owed all of them (self-signed AND issued for another name).
std::string TlsStream::EveryProblem(X509* peer) const {
    std::vector<std::string> problems;
    const auto note = [&problems](std::string problem) {
        if (std::find(problems.begin(), problems.end(), problem) == problems.end()) {
            problems.push_back(std::move(problem));
        }
    };
    std::vector<int> codes;
    std::unique_ptr<X509_STORE_CTX, decltype(&X509_STORE_CTX_free)> chain(X509_STORE_CTX_new(),
                                                                          &X509_STORE_CTX_free);
    if (chain && X509_STORE_CTX_init(chain.get(), SSL_CTX_get_cert_store(SSL_get_SSL_CTX(ssl_.get())), peer,
                                     SSL_get_peer_cert_chain(ssl_.get())) == 1) {
        X509_STORE_CTX_set_app_data(chain.get(), &codes);
        // Goes on past every error, noting each.
        X509_STORE_CTX_set_verify_cb(chain.get(), [](int ok, X509_STORE_CTX* context) {
            if (ok == 0) {
                static_cast<std::vector<int>*>(X509_STORE_CTX_get_app_data(context))
                    ->push_back(X509_STORE_CTX_get_error(context));
            }
            return 1;
        });
        X509_verify_cert(chain.get());
    }
    for (const int code : codes) {
        note(X509_verify_cert_error_string(code));
    }
    const bool forHost = IsAddress(host_)
                             ? X509_check_ip_asc(peer, host_.c_str(), 0) == 1
                             : X509_check_host(peer, host_.c_str(), host_.size(), 0, nullptr) == 1;
    if (!forHost) {
        note("the certificate is not for " + host_);
    }
    if (problems.empty()) {
        note(X509_verify_cert_error_string(SSL_get_verify_result(ssl_.get())));
    }
    std::string text;
    for (const std::string& problem : problems) {
        text += (text.empty() ? "" : "; ") + problem;
    }
    return text;
}

bool TlsStream::SamePeerCertificate(const TlsStream& other) const {
    const X509Ptr mine(SSL_get1_peer_certificate(ssl_.get()));
    const X509Ptr theirs(SSL_get1_peer_certificate(other.ssl_.get()));
    return mine && theirs && X509_cmp(mine.get(), theirs.get()) == 0;
}

} // namespace tidewell::ftp
