// The window's log-in, listing, navigation and sorting against real servers.
#include "gui/app/MainDialog.h"

#include "fixtures/FtpServers.h"
#include "gui/profiles/TabPane.h"
#include "gui/remote/ListViewControl.h"
#include "gui/remote/RemoteListModel.h"
#include "resources/ResourceIds.h"
#include "support/MessageRecorder.h"
#include "support/WindowDriving.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

namespace tidewell {
namespace {

using namespace res;
namespace fs = std::filesystem;

constexpr const char* kBadDir =
    "Directory is not contained on the FTP server, or the FTP server cannot be contacted";

// The window's side of browsing; how different servers list is the engine's
// and the listing's business, tested there.
class BrowseWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        server_ = test::StartServer(test::ServerKind::Pyftpdlib);
        ASSERT_TRUE(server_->Ready()) << server_->Failure();
        dialog_.SetSessionTimeout(std::chrono::seconds(10));
        dialog_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog_));
        test::FillSite(dialog_, *server_);
    }

    // Presses a button and waits until the listing it started is shown.
    void Press(int id) {
        dialog_.DispatchCommand(id);
        WaitForListing();
    }

    void WaitForListing() { ASSERT_TRUE(test::WaitUntilIdle(dialog_)) << "the listing did not arrive"; }

    RemoteListModel* Model() const { return dialog_.RemoteList()->Model(); }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (int row = 0; row < Model()->rowCount(); ++row) {
            names.push_back(Model()->Name(row));
        }
        return names;
    }

    int RowOf(const std::string& name) const {
        for (int row = 0; row < Model()->rowCount(); ++row) {
            if (Model()->Name(row) == name) {
                return row;
            }
        }
        ADD_FAILURE() << "no row " << name;
        return -1;
    }

    QString Label(int id) const { return dialog_.ControlAs<QLabel>(id)->text(); }
    QString DirectoryField() const { return dialog_.CurrentPane()->DirectoryEdit()->text(); }

    // A real double-click on the row in the view the user sees.
    void DoubleClick(const std::string& name) {
        QAbstractItemView* view = dialog_.RemoteList()->CurrentView();
        const QModelIndex index = Model()->index(RowOf(name), 0);
        view->scrollTo(index);
        QCoreApplication::processEvents();
        const QPoint at = view->visualRect(index).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    }

    void ClickHeader(int column) {
        QHeaderView* header = dialog_.RemoteList()->ReportView()->header();
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }

    void SetModified(const std::string& relative, int minutesAgo) {
        fs::last_write_time(server_->Root() / relative,
                            fs::file_time_type::clock::now() - std::chrono::minutes(minutesAgo));
    }

    std::unique_ptr<test::FtpServer> server_;
    MainDialog dialog_{{}};
};

void ExpectOneMessage(const test::MessageRecorder& messages, const char* text) {
    ASSERT_EQ(messages.Calls().size(), 1u);
    EXPECT_EQ(messages.Calls()[0].text, text);
    EXPECT_EQ(messages.Calls()[0].caption, "FTP Error");
    EXPECT_EQ(messages.Calls()[0].icon, MessageIcon::Stop);
}

TEST_F(BrowseWindowTest, FirstLoginListsTheLoginDirectoryAndARefusedRefreshKeepsTheRows) {
    server_->PutDirectory("pub");
    server_->PutDirectory("Docs");
    server_->PutFile("a.txt", std::string(1023, 'a'));
    server_->PutFile("B.bin", std::string(1024, 'b'));
    {
        test::MessageRecorder messages;
        Press(IDC_LOGIN);
        EXPECT_TRUE(messages.Calls().empty());
    }
    EXPECT_EQ(DirectoryField(), "/");
    EXPECT_EQ(dialog_.Session().LoginDirectory(), "/");
    EXPECT_TRUE(dialog_.ControlAs<QLineEdit>(IDC_FILE_NAME)->text().isEmpty());
    // Names without regard to case, directories and files mixed, ".." once.
    const std::vector<std::string> rows{"..", "a.txt", "B.bin", "Docs", "pub"};
    EXPECT_EQ(Names(), rows);
    EXPECT_EQ(Label(IDC_FILE_COUNT), "File(s): 2");
    EXPECT_EQ(Label(IDC_DIR_COUNT), "Dir(s): 2");
    EXPECT_EQ(Label(IDC_TOTAL_SIZE), "Total Size: 2.00 KB");

    dialog_.CurrentPane()->DirectoryEdit()->setText("/no/such/dir");
    test::MessageRecorder messages;
    Press(IDC_LOGIN);
    ExpectOneMessage(messages, kBadDir);
    EXPECT_EQ(DirectoryField(), "/");
    EXPECT_EQ(Names(), rows);
    EXPECT_TRUE(dialog_.Session().Connected());
}

TEST_F(BrowseWindowTest, AWrongPasswordAndARefusedStartDirectoryLeaveNoConnection) {
    dialog_.CurrentPane()->PasswordEdit()->setText("not-the-password");
    {
        test::MessageRecorder messages;
        Press(IDC_LOGIN);
        ExpectOneMessage(messages, "Can't connect to FTP server - check the FTP username/password");
    }
    EXPECT_EQ(Model()->rowCount(), 0);
    EXPECT_FALSE(dialog_.Session().Connected());
    EXPECT_EQ(dialog_.ControlAs<QPushButton>(IDC_LOGIN)->text(), "&Login");

    // A refused start directory leaves no connection and puts the cursor in the field.
    dialog_.CurrentPane()->PasswordEdit()->setText(QString::fromStdString(server_->Address().password));
    dialog_.CurrentPane()->DirectoryEdit()->setText("/missing");
    dialog_.activateWindow();
    test::MessageRecorder messages;
    Press(IDC_LOGIN);
    ExpectOneMessage(messages, "Directory is not contained on the FTP server - check the Directory");
    EXPECT_FALSE(dialog_.Session().Connected());
    EXPECT_EQ(DirectoryField(), "/missing");
    EXPECT_EQ(dialog_.focusWidget(), dialog_.CurrentPane()->DirectoryEdit());
}

TEST_F(BrowseWindowTest, DoubleClicksUpAndHomeMoveThroughTheTree) {
    server_->PutDirectory("pub");
    server_->PutDirectory("pub/incoming");
    server_->PutFile("pub/incoming/new.txt", "n");
    server_->PutFile("file.txt", "f");
    Press(IDC_LOGIN);
    dialog_.DispatchCommand(ID_FILE_SAVE_PREFERENCES); // nothing modified from here

    // A file row changes nothing but the modified mark.
    DoubleClick("file.txt");
    EXPECT_FALSE(dialog_.Busy());
    EXPECT_TRUE(dialog_.Sites().IsModified(0));
    EXPECT_TRUE(dialog_.Title().endsWith(" *]"));

    // Navigation starts from the stored directory, not from unsaved typing.
    dialog_.CurrentPane()->DirectoryEdit()->setText("/typed/but/not/used");
    const auto step = [&](auto action, const std::string& where, std::vector<std::string> names) {
        action();
        WaitForListing();
        EXPECT_EQ(DirectoryField().toStdString(), where);
        EXPECT_EQ(Names(), names);
    };
    const std::vector<std::string> top{"..", "file.txt", "pub"};
    step([&] { DoubleClick("pub"); }, "/pub", {"..", "incoming"});
    dialog_.ControlAs<QPushButton>(IDC_DETAILS)->click(); // the same in the report view
    step([&] { DoubleClick("incoming"); }, "/pub/incoming", {"..", "new.txt"});
    step([&] { dialog_.DispatchCommand(IDC_UP); }, "/pub", {"..", "incoming"});
    step([&] { DoubleClick(".."); }, "/", top);
    step([&] { DoubleClick("pub"); }, "/pub", {"..", "incoming"});
    step([&] { dialog_.DispatchCommand(IDC_HOME); }, "/", top);
}

// The order rules are RowComparison's; here a header click reaches them and a
// relisting keeps the last choice.
TEST_F(BrowseWindowTest, HeaderClicksSortAndARelistingKeepsTheOrder) {
    server_->PutDirectory("zdir");
    server_->PutFile("small.txt", std::string(10, 's'));
    server_->PutFile("large.txt", std::string(70000, 'l'));
    SetModified("small.txt", 300);
    SetModified("large.txt", 100);
    Press(IDC_LOGIN);
    dialog_.ControlAs<QPushButton>(IDC_DETAILS)->click();
    using Rows = std::vector<std::string>;
    EXPECT_EQ(Names(), (Rows{"..", "large.txt", "small.txt", "zdir"}));
    ClickHeader(kSizeColumn);
    EXPECT_EQ(Names(), (Rows{"..", "zdir", "small.txt", "large.txt"}));
    ClickHeader(kDateColumn);
    ClickHeader(kDateColumn);
    server_->PutFile("newest.txt", "n");
    Press(IDC_LOGIN);
    EXPECT_EQ(Names(), (Rows{"..", "zdir", "newest.txt", "large.txt", "small.txt"}));
}

// No key in a field ends the program or leaves the focus in a field with all
// of its text selected; the keys and the list's context menu reach every
// command the list's buttons offer, exactly when those would take it.
TEST_F(BrowseWindowTest, TheKeyboardAndTheContextMenuReachTheCommands) {
    server_->PutDirectory("pub");
    server_->PutFile("pub/a.txt", "a");
    server_->PutFile("pub/b.txt", "b");
    dialog_.activateWindow();
    test::MessageRecorder messages({Answer::No});
    const auto noSelectedField = [] {
        const auto* field = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        return field == nullptr || !field->hasSelectedText();
    };
    auto* folder = dialog_.ControlAs<QLineEdit>(IDC_DOWNLOAD_FOLDER);
    folder->setText(QString::fromStdString(fs::temp_directory_path().string()));
    folder->setFocus();
    QTest::keyClick(folder, Qt::Key_Return);
    EXPECT_TRUE(dialog_.isVisible());
    EXPECT_FALSE(dialog_.Busy());
    QLineEdit* password = dialog_.CurrentPane()->PasswordEdit();
    password->setFocus();
    QTest::keyClick(password, Qt::Key_Return);
    EXPECT_TRUE(dialog_.Busy());
    WaitForListing();
    QAbstractItemView* view = dialog_.RemoteList()->CurrentView();
    EXPECT_EQ(dialog_.focusWidget(), view);

    // A button that starts a run has the focus back once it ends, and none in between.
    auto* login = dialog_.ControlAs<QPushButton>(IDC_LOGIN);
    login->setFocus();
    QTest::keyClick(login, Qt::Key_Space);
    EXPECT_TRUE(dialog_.Busy() && noSelectedField());
    WaitForListing();
    EXPECT_EQ(dialog_.focusWidget(), login);

    // Alt+H is the Help menu's, not Home's.
    QTest::keyClick(&dialog_, Qt::Key_H, Qt::AltModifier);
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->title(), "&Help");
    popup->close();
    EXPECT_FALSE(dialog_.Busy());

    const auto select = [&](std::vector<std::string> names) {
        view->clearSelection();
        for (const std::string& name : names) {
            view->selectionModel()->select(Model()->index(RowOf(name), 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
        view->setFocus();
    };
    const auto key = [&](Qt::Key pressed) {
        QTest::keyClick(view, pressed);
        WaitForListing();
    };
    select({"pub"});
    key(Qt::Key_Return);
    EXPECT_EQ(Names(), (std::vector<std::string>{"..", "a.txt", "b.txt"}));
    server_->PutFile("pub/c.txt", "c");
    key(Qt::Key_F5);
    EXPECT_EQ(Names().back(), "c.txt");

    // The menu's entries, each enabled as its button is; Rename needs one row.
    const auto openMenu = [&] {
        const QPoint at = view->visualRect(view->selectionModel()->selectedRows().value(0)).center();
        QContextMenuEvent request(QContextMenuEvent::Mouse, at, view->viewport()->mapToGlobal(at));
        QApplication::sendEvent(view->viewport(), &request);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        std::vector<std::pair<QString, bool>> entries;
        for (QAction* action : menu != nullptr ? menu->actions() : QList<QAction*>{}) {
            if (!action->isSeparator()) {
                entries.emplace_back(action->text(), action->isEnabled());
            }
        }
        return std::pair{menu, entries};
    };
    select({"a.txt", "b.txt"});
    auto [menu, entries] = openMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(entries, (std::vector<std::pair<QString, bool>>{{"&Download", true},
                                                              {"&Upload Here...", true},
                                                              {"&Rename", false},
                                                              {"&Delete", true},
                                                              {"&New Directory...", true},
                                                              {"Re&fresh", true},
                                                              {"&Up", true}}));
    menu->close();
    select({"a.txt"});
    std::tie(menu, entries) = openMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(entries[2].second);
    menu->actions()[3]->trigger(); // Rename, which waits until the menu has gone
    menu->close();
    const QModelIndex renamed = Model()->index(RowOf("a.txt"), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->indexWidget(renamed) != nullptr; }, 5000));
    QTest::keyClick(view->indexWidget(renamed), Qt::Key_Escape);

    // Delete asks first (answered No here); Backspace goes up.
    select({"a.txt"});
    key(Qt::Key_Delete);
    ASSERT_EQ(messages.Calls().size(), 1u);
    EXPECT_EQ(messages.Calls()[0].caption, "Delete Confirmation");
    EXPECT_EQ(Names().size(), 4u);
    key(Qt::Key_Backspace);
    EXPECT_EQ(Names(), (std::vector<std::string>{"..", "pub"}));

    // Logged out, the list takes no command.
    dialog_.DispatchCommand(IDC_LOGOUT);
    QTest::keyClick(view, Qt::Key_F5);
    EXPECT_FALSE(dialog_.Busy());
}

// A listing that fails is no empty directory: the ".." row and zero counters
// stay, but the window says what happened, and a lost connection logs out.
TEST(BrowseWindowFailures, AFailedListingIsSaidAndALostConnectionLogsOut) {
    const struct {
        const char* mode;
        const char* reason;
        bool connected;
    } cases[] = {
        {"list-550", "550 Permission denied.", true},
        {"stall-list", "The operation timed out", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        test::PyftpdlibServer server(c.mode);
        ASSERT_TRUE(server.Ready()) << server.Failure();
        MainDialog dialog{{}};
        dialog.SetSessionTimeout(std::chrono::seconds(2));
        test::FillSite(dialog, server);
        test::MessageRecorder messages;
        dialog.DispatchCommand(IDC_LOGIN);
        ASSERT_TRUE(test::WaitUntilIdle(dialog));
        ExpectOneMessage(messages, (std::string("The directory could not be listed: ") + c.reason).c_str());
        EXPECT_EQ(dialog.Session().Connected(), c.connected);
        EXPECT_EQ(dialog.RemoteList()->Model()->rowCount(), c.connected ? 1 : 0); // ".." alone
        EXPECT_EQ(dialog.ControlAs<QLabel>(IDC_FILE_COUNT)->text(), c.connected ? "File(s): 0" : "File(s):");
    }
}

} // namespace
} // namespace tidewell
