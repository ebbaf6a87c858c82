// Browse, Download and the Transfer Status group, as a user drives them; the
// run itself is tested against servers in DownloadRunTest.
#include "gui/app/MainDialog.h"

#include "fixtures/FtpServers.h"
#include "gui/profiles/TabPane.h"
#include "gui/remote/ListViewControl.h"
#include "gui/remote/RemoteListModel.h"
#include "gui/transfer/TransferDialogs.h"
#include "gui/ui/FileDialogs.h"
#include "resources/ResourceIds.h"
#include "support/MessageRecorder.h"
#include "support/WindowDriving.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>

namespace tidewell {
namespace {

using namespace res;
namespace fs = std::filesystem;

TEST(DownloadWindow, BrowseChoosesTheFolderAndDownloadCopiesTheSelectedRows) {
    auto server = test::StartServer(test::ServerKind::Pyftpdlib);
    ASSERT_TRUE(server->Ready()) << server->Failure();
    server->PutFile("a.txt", "alpha");
    server->PutDirectory("docs");
    server->PutFile("docs/b.txt", "beta");
    MainDialog dialog{{}};
    test::FillSite(dialog, *server);
    dialog.DispatchCommand(IDC_LOGIN);
    ASSERT_TRUE(test::WaitUntilIdle(dialog));

    // No folder yet: the check stops the command.
    {
        test::MessageRecorder messages;
        dialog.DispatchCommand(IDC_DOWNLOAD);
        ASSERT_EQ(messages.Calls().size(), 1u);
        EXPECT_EQ(messages.Calls()[0].text, "Invalid directory for download, please reselect");
        EXPECT_FALSE(dialog.Busy());
    }
    test::TempDir folder;
    const QString chosen = QString::fromStdString(folder.Path().string()) + "/"; // a trailing "/" is fine
    std::vector<FileDialogRequest> asked;
    {
        ScopedFileDialogHook dialogs([&](const FileDialogRequest& request) {
            asked.push_back(request);
            return QStringList{chosen};
        });
        dialog.DispatchCommand(IDC_BROWSE);
    }
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].caption, "Choose A Directory For FTP Download");
    EXPECT_EQ(dialog.ControlAs<QLineEdit>(IDC_DOWNLOAD_FOLDER)->text(), chosen);

    // Every row selected, ".." with them: it is never downloaded.
    dialog.RemoteList()->CurrentView()->selectAll();
    int notices = 0;
    ScopedTransferDialogHook transfer({{}, [&](QWidget*) {
                                           ++notices;
                                           // While the notice is up the bars keep their final values.
                                           EXPECT_EQ(dialog.ControlAs<QLineEdit>(IDC_SESSION_PERCENT)->text(),
                                                     "100%");
                                       }});
    dialog.DispatchCommand(IDC_DOWNLOAD);
    EXPECT_TRUE(dialog.Busy());
    ASSERT_TRUE(test::WaitUntilIdle(dialog));
    EXPECT_EQ(notices, 1);
    EXPECT_EQ(fs::directory_entry(folder.Path() / "a.txt").file_size(), 5u);
    EXPECT_TRUE(fs::exists(folder.Path() / "docs/b.txt"));
    // Back to the idle texts, the list read again.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return dialog.ControlAs<QLineEdit>(IDC_SESSION_PERCENT)->text() == "0%"; }));
    EXPECT_EQ(dialog.ControlAs<QProgressBar>(IDC_SESSION_PROGRESS)->value(), 0);
    EXPECT_EQ(dialog.RemoteList()->Model()->rowCount(), 3);

    // A relative Directory the connection already stands in: the run starts
    // from the full path the server resolved it to.
    dialog.CurrentPane()->DirectoryEdit()->setText("docs");
    dialog.DispatchCommand(IDC_LOGIN);
    ASSERT_TRUE(test::WaitUntilIdle(dialog));
    test::TempDir again;
    dialog.ControlAs<QLineEdit>(IDC_DOWNLOAD_FOLDER)->setText(QString::fromStdString(again.Path().string()));
    dialog.RemoteList()->CurrentView()->selectAll();
    dialog.DispatchCommand(IDC_DOWNLOAD);
    ASSERT_TRUE(test::WaitUntilIdle(dialog));
    EXPECT_EQ(notices, 2);
    EXPECT_TRUE(fs::exists(again.Path() / "b.txt"));
}

} // namespace
} // namespace tidewell
