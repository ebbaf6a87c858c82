// Where uploads come from, as a user drives them: the command line at start-up,
// the Upload button's file dialog and drops; the run itself is tested against
// servers in UploadRunTest.
#include "gui/app/MainDialog.h"

#include "core/profiles/DataLocations.h"
#include "core/profiles/SettingsFile.h"
#include "fixtures/FtpServers.h"
#include "gui/profiles/TabPane.h"
#include "gui/remote/ListViewControl.h"
#include "gui/remote/RemoteListModel.h"
#include "gui/transfer/TransferDialogs.h"
#include "gui/ui/FileDialogs.h"
#include "resources/ResourceIds.h"
#include "support/FileTree.h"
#include "support/MessageRecorder.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

namespace tidewell {
namespace {

using namespace res;
namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;

std::string AddressOf(const test::FtpServer& server) {
    return server.Address().host + ":" + std::to_string(server.Address().port);
}

bool WaitUntilIdle(const MainDialog& dialog) {
    return QTest::qWaitFor([&] { return !dialog.Busy(); }, 30000);
}

// Site 1 of the settings file a window opens at start-up.
void SaveFirstSite(const SiteProfile& site) {
    SiteProfiles profiles;
    profiles[0] = site;
    ASSERT_TRUE(QDir().mkpath(QFileInfo(DefaultSettingsPath()).absolutePath()));
    ASSERT_EQ(SettingsFile::Save(DefaultSettingsPath(), profiles, true).status, SettingsStatus::Ok);
}

// The command line's words go to Site 1 at start-up when they name files and
// the site is complete; a path split at its blank, or an incomplete site, is
// one message and no connection.
TEST(UploadWindow, StartUpUploadsTheCommandLineIntoTheFirstSite) {
    auto server = test::StartServer(test::ServerKind::Pyftpdlib);
    ASSERT_TRUE(server->Ready()) << server->Failure();
    test::TempDir local;
    test::Write(local.Path() / "a.txt", "alpha");
    test::Write(local.Path() / "b.txt", "beta");
    const std::string a = (local.Path() / "a.txt").string(), b = (local.Path() / "b.txt").string();
    const struct {
        bool complete;
        std::vector<std::string> words;
        const char* message;
    } cases[] = {
        {false, {a}, "You must supply the FTP username"},
        {true,
         {(local.Path() / "My").string(), "Files.txt"},
         "Could Not Transfer files - Does the filename have a space in the path?"},
        {true, {a, b}, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.words.size());
        SaveFirstSite(
            {AddressOf(*server), c.complete ? server->Address().user : "", server->Address().password, ""});
        test::MessageRecorder messages;
        int notices = 0;
        ScopedTransferDialogHook transfer({{}, [&](QWidget*) { ++notices; }});
        MainDialog dialog(c.words);
        ASSERT_TRUE(WaitUntilIdle(dialog));
        ASSERT_EQ(messages.Calls().size(), c.message ? 1u : 0u);
        if (c.message) {
            EXPECT_EQ(messages.Calls()[0].text, c.message);
        }
        EXPECT_EQ(dialog.Session().Connected(), c.message == nullptr);
        EXPECT_EQ(notices, c.message ? 0 : 1);
    }
    EXPECT_EQ(test::Tree(server->Root()), (Files{{"a.txt", "alpha"}, {"b.txt", "beta"}}));
}

// Drag events as a file manager sends them.
bool DragAccepted(MainDialog& dialog, const QMimeData& data) {
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &enter);
    return enter.isAccepted();
}
void Drop(MainDialog& dialog, const QMimeData& data) {
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &drop);
}

TEST(UploadWindow, TheFileDialogAndDropsUploadWhileIdle) {
    auto server = test::StartServer(test::ServerKind::Pyftpdlib);
    ASSERT_TRUE(server->Ready()) << server->Failure();
    test::TempDir local;
    fs::create_directory(local.Path() / "folder");
    test::Write(local.Path() / "folder/inside", "inside");
    test::Write(local.Path() / "chosen", "chosen");
    test::Write(local.Path() / "dropped", "dropped");
    MainDialog dialog({});
    dialog.CurrentPane()->AddressEdit()->setText(QString::fromStdString(AddressOf(*server)));
    dialog.CurrentPane()->UsernameEdit()->setText(QString::fromStdString(server->Address().user));
    dialog.CurrentPane()->PasswordEdit()->setText(QString::fromStdString(server->Address().password));
    ScopedTransferDialogHook transfer({{}, [](QWidget*) {}});

    std::vector<FileDialogRequest> asked;
    {
        ScopedFileDialogHook files([&](const FileDialogRequest& request) {
            asked.push_back(request);
            return QStringList{QString::fromStdString((local.Path() / "chosen").string())};
        });
        dialog.DispatchCommand(IDC_UPLOAD); // logged out: the run logs in first
    }
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].kind, FileDialogKind::OpenFiles);
    EXPECT_EQ(asked[0].caption, "Select Files To Upload");
    ASSERT_TRUE(WaitUntilIdle(dialog));
    EXPECT_EQ(dialog.RemoteList()->Model()->rowCount(), 2); // ".." and the file

    QMimeData dropped;
    dropped.setUrls({QUrl::fromLocalFile(QString::fromStdString((local.Path() / "dropped").string())),
                     QUrl::fromLocalFile(QString::fromStdString((local.Path() / "folder").string()))});
    QMimeData foreign;
    foreign.setUrls({QUrl(QStringLiteral("https://example.invalid/file"))});
    EXPECT_FALSE(DragAccepted(dialog, foreign));
    dialog.DispatchCommand(IDC_LOGIN); // a refresh: busy until the event loop has run
    ASSERT_TRUE(dialog.Busy());
    EXPECT_FALSE(DragAccepted(dialog, dropped));
    ASSERT_TRUE(WaitUntilIdle(dialog));
    EXPECT_TRUE(DragAccepted(dialog, dropped));
    Drop(dialog, dropped);
    EXPECT_TRUE(dialog.Busy());
    ASSERT_TRUE(WaitUntilIdle(dialog));
    EXPECT_EQ(
        test::Tree(server->Root()),
        (Files{
            {"chosen", "chosen"}, {"dropped", "dropped"}, {"folder", "<dir>"}, {"folder/inside", "inside"}}));
    EXPECT_EQ(dialog.RemoteList()->Model()->rowCount(), 4);
}

} // namespace
} // namespace tidewell
