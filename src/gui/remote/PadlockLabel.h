#pragma once

#include "core/remote/ftp/TlsTypes.h"

#include <QLabel>

#include <optional>

namespace tidewell {

// The padlock on the right end of a counter label (so that it moves with the
// counters): shown while the connection is encrypted, its tooltip naming the
// TLS version and the certificate, or SSH's algorithms and host key.
class PadlockLabel : public QLabel {
    Q_OBJECT
public:
    explicit PadlockLabel(QLabel& counter);

    // Hidden for nothing (logged out, plain FTP, a run holding the connection).
    void Show(const std::optional<ftp::CertificateInfo>& encryption);
};

} // namespace tidewell
