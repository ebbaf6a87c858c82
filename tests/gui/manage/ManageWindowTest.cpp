// New Dir, rename in place and Delete as a user drives them in the window; the
// runs themselves are tested against servers in ManageRunTest.
#include "gui/app/MainDialog.h"

#include "fixtures/FtpServers.h"
#include "gui/manage/CreateDirectoryDialog.h"
#include "gui/remote/ListViewControl.h"
#include "gui/remote/RemoteListModel.h"
#include "resources/ResourceIds.h"
#include "support/MessageRecorder.h"
#include "support/WindowDriving.h"

#include <QAbstractItemView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace tidewell {
namespace {

using namespace res;

QModelIndex RowNamed(const RemoteListModel& model, const std::string& name) {
    const auto found =
        model.match(model.index(0, 0), Qt::DisplayRole, QString::fromStdString(name), 1, Qt::MatchExactly);
    return found.isEmpty() ? QModelIndex() : found[0];
}

// F2 on the row in the view shown, the text typed, ended with key.
void EditName(ListViewControl& list, const std::string& name, const QString& text, Qt::Key key) {
    QAbstractItemView* view = list.CurrentView();
    const QModelIndex index = RowNamed(*list.Model(), name);
    view->setCurrentIndex(index);
    QTest::keyClick(view, Qt::Key_F2);
    auto* editor = qobject_cast<QLineEdit*>(view->indexWidget(index));
    ASSERT_NE(editor, nullptr) << "no editor for " << name;
    editor->setText(text);
    QTest::keyClick(editor, key);
    // The editor closes queued, and the edit's end reaches the window queued too.
    EXPECT_TRUE(QTest::qWaitFor([&] { return view->indexWidget(index) == nullptr; }));
    QCoreApplication::processEvents();
}

TEST(ManageWindow, NewDirRenameAndDeleteFollowedByTheList) {
    auto server = test::StartServer(test::ServerKind::Pyftpdlib);
    ASSERT_TRUE(server->Ready()) << server->Failure();
    server->PutFile("a.txt", "alpha");
    server->PutDirectory("docs");
    MainDialog dialog{{}};
    test::FillSite(dialog, *server);
    const auto idle = [&] { return test::WaitUntilIdle(dialog); };
    dialog.DispatchCommand(IDC_LOGIN);
    ASSERT_TRUE(idle());
    ListViewControl& list = *dialog.RemoteList();
    const RemoteListModel& model = *list.Model();

    // Escape: nothing happens, not even a run. OK: a folder row, the counter up.
    for (const bool ok : {false, true}) {
        ScopedCreateDirectoryDialogHook hook([ok](CreateDirectoryDialog& asked) {
            EXPECT_EQ(asked.focusWidget(), asked.NameEdit());
            asked.NameEdit()->setText("new");
            ok ? asked.OkButton()->click() : QTest::keyClick(&asked, Qt::Key_Escape);
        });
        dialog.DispatchCommand(IDC_NEW_DIR);
        EXPECT_EQ(dialog.Busy(), ok);
        ASSERT_TRUE(idle());
    }
    const QModelIndex made = RowNamed(model, "new");
    ASSERT_TRUE(made.isValid());
    EXPECT_EQ(model.Tag(made.row()), kDirectoryTag);
    EXPECT_EQ(qvariant_cast<QIcon>(made.data(Qt::DecorationRole)).cacheKey(),
              qvariant_cast<QIcon>(RowNamed(model, "docs").data(Qt::DecorationRole)).cacheKey());
    EXPECT_EQ(dialog.ControlAs<QLabel>(IDC_DIR_COUNT)->text(), "Dir(s): 2");

    // Rename: Escape sends nothing; a listed name is refused; a free one is taken and listed again.
    EditName(list, "a.txt", "gone.txt", Qt::Key_Escape);
    EXPECT_FALSE(dialog.Busy());
    test::MessageRecorder refused;
    EditName(list, "a.txt", "docs", Qt::Key_Return);
    ASSERT_TRUE(idle());
    EXPECT_EQ(refused.Calls().size(), 1u);
    dialog.ControlAs<QPushButton>(IDC_DETAILS)->click(); // the report view edits the same way
    EditName(list, "new", "renamed", Qt::Key_Return);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !dialog.Busy() && RowNamed(model, "renamed").isValid(); }, 30000));

    // Delete after the confirmation: the list is read again from the server.
    list.CurrentView()->setCurrentIndex(RowNamed(model, "renamed"));
    test::MessageRecorder messages({Answer::Yes});
    dialog.DispatchCommand(IDC_DELETE);
    ASSERT_TRUE(idle());
    EXPECT_FALSE(RowNamed(model, "renamed").isValid());
}

} // namespace
} // namespace tidewell
