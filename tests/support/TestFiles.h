#pragma once

#include "core/profiles/SettingsFile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

// Failure messages show a QString as its text rather than as an array of QChar.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace tidewell::testing {

// Three filled sites, one of them without a password; the rest empty.
inline SiteProfiles SampleProfiles() {
    SiteProfiles profiles;
    profiles[0] = {"ftp.one.test", "anna", "s3cret~", "/pub"};
    profiles[2] = {"ftp.three.test", "carl", "", ""};
    profiles[6] = {"127.0.0.1", "anonymous", "guest@", "/incoming"};
    return profiles;
}

inline std::string ReadBytes(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll().toStdString();
}

// Replaces the file, making its folder first.
inline void WriteBytes(const QString& path, const std::string& bytes) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes.data(), static_cast<qint64>(bytes.size())), static_cast<qint64>(bytes.size()));
}

// A temporary home with its XDG folders, so that nothing reaches the real one.
// Every variable it sets gets its old value back when it goes away.
class TemporaryHome {
public:
    TemporaryHome() {
        EXPECT_TRUE(root_.isValid());
        Set("HOME", Path());
        Set("XDG_CONFIG_HOME", File("config"));
        Set("XDG_DATA_HOME", File("data"));
    }
    ~TemporaryHome() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            it->second ? qputenv(it->first.constData(), *it->second) : qunsetenv(it->first.constData());
        }
    }

    QString Path() const { return root_.path(); }
    QString File(const QString& name) const { return root_.filePath(name); }

    // No value unsets the variable.
    void Set(const char* name, const std::optional<QString>& value) {
        saved_.emplace_back(name,
                            qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
        value ? qputenv(name, value->toLocal8Bit()) : qunsetenv(name);
    }

private:
    QTemporaryDir root_;
    std::vector<std::pair<QByteArray, std::optional<QByteArray>>> saved_;
};

} // namespace tidewell::testing
