// Where uploads come from, as a user drives them; the run itself is tested
// against servers in UploadRunTest.
#include "gui/app/MainDialog.h"

#include "core/profiles/DataLocations.h"
#include "core/profiles/SettingsFile.h"
#include "gui/remote/ListViewControl.h"
#include "gui/remote/RemoteListModel.h"
#include "gui/transfer/TransferDialogs.h"
#include "gui/ui/FileDialogs.h"
#include "resources/ResourceIds.h"
#include "support/FileTree.h"
#include "support/MessageRecorder.h"
#include "support/WindowDriving.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <gtest/gtest.h>

namespace tidewell {
namespace {

using namespace res;
namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;

using test::SiteAddress;
using test::WaitUntilIdle;

// Drag events as a file manager sends them.
bool DragAccepted(MainDialog& dialog, const QMimeData& data) {
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &enter);
    return enter.isAccepted();
}

QUrl UrlOf(const fs::path& path) {
    return QUrl::fromLocalFile(QString::fromStdString(path.string()));
}

// The three sources in turn. Start-up: a path that names nothing, or an
// incomplete site, is one message and no connection. Then the Upload
// button's file dialog, and drops: taken only while idle and only when every
// dropped thing is a local path.
TEST(UploadWindow, StartUpWordsTheFileDialogAndDropsEachUpload) {
    auto server = test::StartServer(test::ServerKind::Pyftpdlib);
    ASSERT_TRUE(server->Ready()) << server->Failure();
    test::TempDir local;
    const fs::path& l = local.Path();
    for (const char* name : {"a", "b", "chosen", "dropped"}) {
        test::Write(l / name, name);
    }
    fs::create_directory(l / "folder");
    test::Write(l / "folder/inside", "inside");
    ASSERT_TRUE(QDir().mkpath(QFileInfo(DefaultSettingsPath()).absolutePath()));
    ScopedTransferDialogHook transfer({{}, [](QWidget*) {}});
    const struct {
        bool complete;
        std::vector<std::string> words;
        std::string message;
    } cases[] = {
        {false, {(l / "a").string()}, "You must supply the FTP username"},
        {true,
         {(l / "missing").string()},
         "Could Not Transfer files - the command line names nothing to upload:\n" + (l / "missing").string() +
             " (not found)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.words.size());
        SiteProfiles sites;
        sites[0] = {SiteAddress(*server), c.complete ? server->Address().user : "",
                    server->Address().password, ""};
        ASSERT_EQ(SettingsFile::Save(DefaultSettingsPath(), sites, true).status, SettingsStatus::Ok);
        test::MessageRecorder messages;
        MainDialog dialog(c.words);
        ASSERT_TRUE(WaitUntilIdle(dialog));
        ASSERT_EQ(messages.Calls().size(), 1u);
        EXPECT_EQ(messages.Calls()[0].text.toStdString(), c.message);
        EXPECT_FALSE(dialog.Session().Connected());
    }
    EXPECT_TRUE(test::Tree(server->Root()).empty());

    MainDialog dialog({}); // Site 1 complete, not logged in: the run logs in first
    std::vector<FileDialogRequest> asked;
    {
        ScopedFileDialogHook files([&](const FileDialogRequest& request) {
            asked.push_back(request);
            return QStringList{QString::fromStdString((l / "chosen").string())};
        });
        dialog.DispatchCommand(IDC_UPLOAD);
    }
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].kind, FileDialogKind::OpenFiles);
    EXPECT_EQ(asked[0].caption, "Select Files To Upload");
    ASSERT_TRUE(WaitUntilIdle(dialog));
    EXPECT_EQ(dialog.RemoteList()->Model()->rowCount(), 2); // ".." and the file

    QMimeData dropped, foreign;
    dropped.setUrls({UrlOf(l / "dropped"), UrlOf(l / "folder")});
    foreign.setUrls({UrlOf(l / "dropped"), QUrl(QStringLiteral("https://example.invalid/file"))});
    EXPECT_FALSE(DragAccepted(dialog, foreign));
    dialog.DispatchCommand(IDC_LOGIN); // a refresh: busy until the event loop has run
    EXPECT_FALSE(DragAccepted(dialog, dropped));
    ASSERT_TRUE(WaitUntilIdle(dialog));
    EXPECT_TRUE(DragAccepted(dialog, dropped));
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &drop);
    EXPECT_TRUE(dialog.Busy());
    ASSERT_TRUE(WaitUntilIdle(dialog));
    EXPECT_EQ(
        test::Tree(server->Root()),
        (Files{
            {"chosen", "chosen"}, {"dropped", "dropped"}, {"folder", "<dir>"}, {"folder/inside", "inside"}}));
}

} // namespace
} // namespace tidewell
