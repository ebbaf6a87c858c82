#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <string>

namespace tidewell {

// The certificates the user chose to always trust, one per server (host and
// port), kept in a file of its own beside the settings file, readable by its
// owner only. Lines: "host port sha256-fingerprint".
class TrustStore {
public:
    explicit TrustStore(QString path) : path_(std::move(path)) {}

    // The file beside a settings file.
    static QString PathBeside(const QString& settingsPath);
    // The SSH host keys always trusted, in the same form, beside a settings
    // file (or beside the certificates' file).
    static QString HostKeysBeside(const QString& settingsPath);

    const QString& Path() const { return path_; }
    // The fingerprint trusted for the server, if any.
    std::optional<std::string> Trusted(const std::string& host, std::uint16_t port) const;
    // Remembers the fingerprint for the server, replacing an older one; false
    // when the file cannot be written.
    bool Remember(const std::string& host, std::uint16_t port, const std::string& sha256) const;

private:
    QString path_;
};

} // namespace tidewell
