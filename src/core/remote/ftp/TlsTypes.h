#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace tidewell::ftp {

// How a connection protects itself.
enum class Security {
    Auto,     // explicit TLS when the server offers AUTH TLS in FEAT, plain FTP otherwise
    Explicit, // AUTH TLS required: a server that refuses it is an error, never plain FTP
    Implicit, // TLS from the first byte (port 990 by default)
    Plain,    // plain FTP on purpose
};

// What a person needs to decide about a server's certificate, and what the
// window shows about an encrypted connection.
struct CertificateInfo {
    std::string host; // the name connected to
    std::string subject;
    std::string issuer;
    std::string notBefore; // "2026-12-07 10:00:00 UTC"
    std::string notAfter;
    std::string sha256;     // fingerprint of the DER certificate, "AB:CD:…" (32 pairs)
    std::string problem;    // empty when the system's trust store vouches for it under `host`; else why not
    std::string tlsVersion; // "TLSv1.3"
    // An SSH connection has a host key in place of a certificate: its type
    // ("ssh-ed25519"), with `sha256` its fingerprint in OpenSSH's form and
    // `tlsVersion` naming the key exchange and cipher. Empty for TLS.
    std::string hostKeyType;
};

// What became of a certificate the system's trust store does not vouch for.
enum class CertificateVerdict {
    Rejected,
    AcceptedOnce,  // for this connection
    AlwaysTrusted, // the user trusts it for this server from now on, or did already
};

// Decides about a certificate the system's trust store does not vouch for.
// Called on the connecting thread after the handshake, before the user name
// and password are sent; Rejected ends the attempt (kCertificateRejected).
using CertificateJudge = std::function<CertificateVerdict(const CertificateInfo&)>;

struct TlsOptions {
    Security security = Security::Auto;
    CertificateJudge judge; // none: only certificates the trust store vouches for are accepted
};

} // namespace tidewell::ftp
