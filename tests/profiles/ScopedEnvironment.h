#pragma once

#include <QByteArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

namespace tidewell::testing {

// Sets environment variables for one test and puts the old values back.
class ScopedEnvironment {
public:
    ScopedEnvironment() = default;
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->second) {
                qputenv(it->first.constData(), *it->second);
            } else {
                qunsetenv(it->first.constData());
            }
        }
    }

    void Set(const char* name, const QByteArray& value) {
        Remember(name);
        qputenv(name, value);
    }
    void Unset(const char* name) {
        Remember(name);
        qunsetenv(name);
    }

private:
    void Remember(const char* name) {
        std::optional<QByteArray> old;
        if (qEnvironmentVariableIsSet(name)) {
            old = qgetenv(name);
        }
        saved_.emplace_back(name, std::move(old));
    }

    std::vector<std::pair<QByteArray, std::optional<QByteArray>>> saved_;
};

// A temporary home with its XDG folders, so that nothing reaches the real one.
class TemporaryHome {
public:
    TemporaryHome() {
        EXPECT_TRUE(root_.isValid());
        env_.Set("HOME", root_.path().toLocal8Bit());
        env_.Set("XDG_CONFIG_HOME", (root_.path() + "/config").toLocal8Bit());
        env_.Set("XDG_DATA_HOME", (root_.path() + "/data").toLocal8Bit());
    }
    QString Path() const { return root_.path(); }
    QString File(const QString& name) const { return root_.filePath(name); }
    ScopedEnvironment& Environment() { return env_; }

private:
    QTemporaryDir root_;
    ScopedEnvironment env_;
};

} // namespace tidewell::testing
