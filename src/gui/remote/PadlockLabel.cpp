#include "gui/remote/PadlockLabel.h"

#include "resources/ResourceIds.h"
#include "resources/Resources.h"

namespace tidewell {

PadlockLabel::PadlockLabel(QLabel& counter) : QLabel(&counter) {
    setPixmap(res::LoadIcon(res::IDI_PADLOCK).pixmap(16, 16));
    resize(16, 16);
    hide();
}

void PadlockLabel::Show(const std::optional<ftp::CertificateInfo>& encryption) {
    const QWidget* counter = parentWidget();
    move(counter->width() - width(), (counter->height() - height()) / 2);
    setVisible(encryption.has_value());
    if (encryption && !encryption->hostKeyType.empty()) {
        setToolTip(QStringLiteral("Encrypted: SSH, %1\nHost key: %2\nSHA-256: %3")
                       .arg(QString::fromStdString(encryption->tlsVersion),
                            QString::fromStdString(encryption->hostKeyType),
                            QString::fromStdString(encryption->sha256)));
    } else if (encryption) {
        setToolTip(QStringLiteral("Encrypted: %1\nCertificate: %2\nSHA-256: %3")
                       .arg(QString::fromStdString(encryption->tlsVersion),
                            QString::fromStdString(encryption->subject),
                            QString::fromStdString(encryption->sha256)));
    }
}

} // namespace tidewell
