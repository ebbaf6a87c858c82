// The built program, started as a user starts it: what its command line
// names goes to Site 1. A test of its own, outside the threaded tests, since
// it starts a process.
#include "core/profiles/DataLocations.h"
#include "core/profiles/SettingsFile.h"
#include "fixtures/FtpServers.h"
#include "support/FileTree.h"
#include "support/WindowDriving.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

namespace tidewell {
namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;
using test::SiteAddress;

// Absolute, relative and "~" paths.
TEST(CommandLineProgram, UploadsWhatItsArgumentsName) {
    auto server = test::StartServer(test::ServerKind::Pyftpdlib);
    ASSERT_TRUE(server->Ready()) << server->Failure();
    test::TempDir local;
    const fs::path& l = local.Path();
    fs::create_directories(l / "home");
    for (const char* name : {"absolute", "relative", "home/tilde"}) {
        test::Write(l / name, name);
    }
    SiteProfiles sites;
    sites[0] = {SiteAddress(*server), server->Address().user, server->Address().password, ""};
    ASSERT_TRUE(QDir().mkpath(QFileInfo(DefaultSettingsPath()).absolutePath()));
    ASSERT_EQ(SettingsFile::Save(DefaultSettingsPath(), sites, true).status, SettingsStatus::Ok);

    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), QString::fromStdString((l / "home").string()));
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(QString::fromStdString(l.string()));
    program.start(QStringLiteral(TIDEWELL_BINARY_DIR "/src/tidewell"),
                  {QString::fromStdString((l / "absolute").string()), QStringLiteral("relative"),
                   QStringLiteral("~/tilde")});
    ASSERT_TRUE(program.waitForStarted(10000));
    const Files expected{{"absolute", "absolute"}, {"relative", "relative"}, {"tilde", "home/tilde"}};
    // The program stays open, with its completion notice, until it is ended.
    EXPECT_TRUE(QTest::qWaitFor([&] { return test::Tree(server->Root()) == expected; }, 60000))
        << program.readAllStandardError().toStdString();
    program.kill();
    program.waitForFinished(10000);
}

} // namespace
} // namespace tidewell
