// New Dir, rename in place and Delete as a user drives them in the window; the
// runs themselves are tested against servers in ManageRunTest.
#include "gui/app/MainDialog.h"

#include "fixtures/FtpServers.h"
#include "gui/manage/CreateDirectoryDialog.h"
#include "gui/profiles/TabPane.h"
#include "gui/remote/ListViewControl.h"
#include "gui/remote/RemoteListModel.h"
#include "resources/ResourceIds.h"
#include "support/MessageRecorder.h"

#include <QAbstractItemView>
#include <QIcon>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace tidewell {
namespace {

using namespace res;

int RowNamed(const RemoteListModel& model, const std::string& name) {
    for (int row = 0; row < model.rowCount(); ++row) {
        if (model.Name(row) == name) {
            return row;
        }
    }
    return -1;
}

// Edits the row's name with F2 in the view shown, types text and ends with key.
void EditName(ListViewControl& list, const std::string& name, const QString& text, Qt::Key key) {
    QAbstractItemView* view = list.CurrentView();
    const QModelIndex index = list.Model()->index(RowNamed(*list.Model(), name), 0);
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
    server->PutFile("docs/b.txt", "beta");
    MainDialog dialog{{}};
    const auto& address = server->Address();
    dialog.CurrentPane()->AddressEdit()->setText(
        QString::fromStdString(address.host + ":" + std::to_string(address.port)));
    dialog.CurrentPane()->UsernameEdit()->setText(QString::fromStdString(address.user));
    dialog.CurrentPane()->PasswordEdit()->setText(QString::fromStdString(address.password));
    dialog.DispatchCommand(IDC_LOGIN);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.Busy(); }, 30000));
    ListViewControl& list = *dialog.RemoteList();
    const RemoteListModel& model = *list.Model();
    auto* dirCount = dialog.ControlAs<QLabel>(IDC_DIR_COUNT);
    ASSERT_EQ(dirCount->text(), "Dir(s): 1");

    // The dialog as built, and Escape: nothing happens, not even a run.
    {
        ScopedCreateDirectoryDialogHook hook([](CreateDirectoryDialog& asked) {
            EXPECT_EQ(asked.windowTitle(), "Create Directory");
            EXPECT_EQ(asked.focusWidget(), asked.NameEdit());
            const auto labels = asked.findChildren<QLabel*>(); // the icon is a label too
            EXPECT_TRUE(std::any_of(labels.begin(), labels.end(),
                                    [](QLabel* label) { return label->text() == "Enter Directory Name:"; }));
            asked.NameEdit()->setText("typed");
            QTest::keyClick(&asked, Qt::Key_Escape);
        });
        dialog.DispatchCommand(IDC_NEW_DIR);
        EXPECT_FALSE(dialog.Busy());
    }
    // OK: a folder row with the directory tag, the counter up, no listing read.
    {
        ScopedCreateDirectoryDialogHook hook([](CreateDirectoryDialog& asked) {
            asked.NameEdit()->setText("new");
            asked.OkButton()->click();
        });
        dialog.DispatchCommand(IDC_NEW_DIR);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.Busy(); }, 30000));
    }
    EXPECT_TRUE(std::filesystem::is_directory(server->Root() / "new"));
    const int made = RowNamed(model, "new");
    ASSERT_GE(made, 0);
    EXPECT_EQ(model.Tag(made), kDirectoryTag);
    const auto icon = [&](int row) {
        return qvariant_cast<QIcon>(model.data(model.index(row, 0), Qt::DecorationRole)).cacheKey();
    };
    EXPECT_EQ(icon(made), icon(RowNamed(model, "..")));
    EXPECT_EQ(dirCount->text(), "Dir(s): 2");

    // Rename in the list: Escape sends nothing; a listed name is refused; a free one is taken and listed
    // again.
    EditName(list, "a.txt", "gone.txt", Qt::Key_Escape);
    EXPECT_FALSE(dialog.Busy());
    {
        test::MessageRecorder messages;
        EditName(list, "a.txt", "docs", Qt::Key_Return);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.Busy(); }, 30000));
        ASSERT_EQ(messages.Calls().size(), 1u);
        EXPECT_EQ(messages.Calls()[0].caption, "ERROR");
    }
    dialog.ControlAs<QPushButton>(IDC_DETAILS)->click(); // the report view edits the same way
    EditName(list, "new", "renamed", Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.Busy() && RowNamed(model, "renamed") >= 0; }, 30000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.Busy(); }, 30000)); // the listing run that follows
    EXPECT_TRUE(std::filesystem::is_directory(server->Root() / "renamed"));
    EXPECT_TRUE(std::filesystem::exists(server->Root() / "a.txt"));

    // Delete the renamed directory and the tree of docs: confirmation, one question, the list read again.
    list.CurrentView()->clearSelection();
    for (const char* name : {"renamed", "docs"}) {
        list.CurrentView()->selectionModel()->select(model.index(RowNamed(model, name), 0),
                                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    {
        test::MessageRecorder messages({Answer::Yes, Answer::Ok});
        dialog.DispatchCommand(IDC_DELETE);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.Busy(); }, 30000));
        EXPECT_EQ(messages.Calls().size(), 2u);
    }
    EXPECT_EQ(RowNamed(model, "docs"), -1);
    EXPECT_EQ(RowNamed(model, "renamed"), -1);
    EXPECT_EQ(model.rowCount(), 2); // ".." and a.txt
    EXPECT_EQ(dirCount->text(), "Dir(s): 0");
    EXPECT_FALSE(std::filesystem::exists(server->Root() / "docs"));
}

} // namespace
} // namespace tidewell
