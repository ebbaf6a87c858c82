// The window's three states, the site tabs, the two menu toggles and the ways
// the window ends. The busy state comes from a real run: a log-in to a server
// that never answers.
#include "gui/app/MainDialog.h"

#include "fixtures/FtpServers.h"
#include "gui/profiles/TabPane.h"
#include "gui/remote/ListViewControl.h"
#include "gui/remote/RemoteListModel.h"
#include "resources/ResourceIds.h"
#include "support/MessageRecorder.h"
#include "support/SilentServer.h"
#include "support/WindowDriving.h"

#include <QAction>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

namespace tidewell {
namespace {

using namespace res;
using namespace std::chrono_literals;
using test::MessageRecorder;

enum class WindowState { NotConnected, ConnectedIdle, Busy };

// The controls' states as the window's state table gives them.
void ExpectState(MainDialog& dialog, WindowState state) {
    const char* names[] = {"not connected", "connected, idle", "busy"};
    SCOPED_TRACE(names[static_cast<int>(state)]);
    const bool connectedIdle = state == WindowState::ConnectedIdle;
    const bool busy = state == WindowState::Busy;
    EXPECT_EQ(dialog.Busy(), busy);
    // Controls and menu items enabled {when idle, when busy}; the rest only when connected and idle.
    const std::pair<std::vector<int>, bool> always[] = {
        {{IDC_LOGIN, IDC_SITE_TABS, IDC_BROWSE}, false},
        {{IDC_CANCEL_TRANSFER, IDC_VIEW_LOCAL_DISK, IDC_DETAILS}, true},
    };
    for (const auto& [ids, whenBusy] : always) {
        for (int id : ids) {
            EXPECT_EQ(dialog.Control(id)->isEnabled(), !busy || whenBusy) << id;
        }
    }
    for (int id :
         {IDC_LOGOUT, IDC_HOME, IDC_UP, IDC_DOWNLOAD, IDC_UPLOAD, IDC_DELETE, IDC_NEW_DIR, IDC_REMOTE_LIST}) {
        EXPECT_EQ(dialog.Control(id)->isEnabled(), connectedIdle) << id;
    }
    for (int id : {ID_FILE_EXIT, ID_FILE_OPEN_PREFERENCES}) {
        EXPECT_EQ(dialog.MenuAction(id)->isEnabled(), !busy) << id; // greyed while busy
    }
    for (int id : {ID_FILE_SAVE_PREFERENCES, ID_FILE_SAVE_PREFERENCES_AS, ID_FILE_SAVE_PASSWORDS, ID_HELP,
                   ID_HELP_CONTENTS, ID_HELP_CONNECTION_LOG, ID_HELP_TOOLTIPS, IDC_ABOUT}) {
        EXPECT_TRUE(dialog.MenuAction(id)->isEnabled()) << id;
    }
    if (!busy) {
        EXPECT_EQ(dialog.ControlAs<QPushButton>(IDC_LOGIN)->text(), connectedIdle ? "&Refresh" : "&Login");
    }
    if (state == WindowState::NotConnected) {
        EXPECT_EQ(dialog.RemoteList()->Model()->rowCount(), 0);
        EXPECT_EQ(dialog.ControlAs<QLabel>(IDC_FILE_COUNT)->text(), "File(s):");
    }
    EXPECT_EQ(dialog.ControlAs<QLineEdit>(IDC_DOWNLOAD_FOLDER)->isReadOnly(), busy);
    for (int id : {IDC_ADDRESS, IDC_USERNAME, IDC_PASSWORD, IDC_DIRECTORY}) {
        EXPECT_EQ(dialog.CurrentPane()->Field(id)->isReadOnly(), busy) << id;
    }
    EXPECT_EQ(dialog.acceptDrops(), !busy);
    EXPECT_EQ(dialog.cursor().shape(), busy ? Qt::WaitCursor : Qt::ArrowCursor);
    EXPECT_EQ(dialog.CurrentPane()->AddressEdit()->cursor().shape(), busy ? Qt::WaitCursor : Qt::IBeamCursor);
}

void ShowWindow(MainDialog& dialog) {
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
}

using test::FillSite;
using test::WaitUntilIdle;

// Busy for as long as the test wants: a log-in to a server that never says a word.
class BusyWindow {
public:
    explicit BusyWindow(MainDialog& dialog) : dialog_(dialog) {
        dialog.SetSessionTimeout(10min);
        FillSite(dialog, silent_.Address());
        dialog.DispatchCommand(IDC_LOGIN);
    }
    // Cancel Transfer, and the window is idle again well before any timeout.
    bool Cancel() {
        dialog_.DispatchCommand(IDC_CANCEL_TRANSFER);
        return WaitUntilIdle(dialog_, 20s);
    }

private:
    MainDialog& dialog_;
    test::SilentServer silent_;
};

TEST(MainDialogState, ControlsFollowTheStateTableThroughALogInAndALogOut) {
    auto server = test::StartServer(test::ServerKind::Pyftpdlib);
    ASSERT_TRUE(server->Ready()) << server->Failure();
    MainDialog dialog({});
    ExpectState(dialog, WindowState::NotConnected);
    dialog.SiteTabBar()->setCurrentIndex(4); // busy locks only the current site's fields
    FillSite(dialog, *server);
    dialog.DispatchCommand(IDC_LOGIN);
    EXPECT_TRUE(dialog.Busy());
    EXPECT_FALSE(dialog.Pane(0)->AddressEdit()->isReadOnly());
    ASSERT_TRUE(WaitUntilIdle(dialog));
    ExpectState(dialog, WindowState::ConnectedIdle);
    EXPECT_EQ(dialog.RemoteList()->Model()->rowCount(), 1); // ".."
    EXPECT_TRUE(dialog.ControlAs<QLineEdit>(IDC_FILE_NAME)->text().isEmpty());

    dialog.DispatchCommand(IDC_LOGOUT);
    ExpectState(dialog, WindowState::NotConnected);
    EXPECT_FALSE(dialog.Session().Connected());
}

// A server that never answers leaves the window painting and responsive; Cancel
// Transfer abandons the attempt at once, without a message.
TEST(MainDialogState, ConnectingKeepsTheWindowResponsiveAndCancelAbandonsIt) {
    MainDialog dialog({});
    ShowWindow(dialog);
    MessageRecorder messages;
    BusyWindow busy(dialog);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return dialog.ControlAs<QLineEdit>(IDC_FILE_NAME)->text() == "Connecting, Please Wait..."; }));
    ExpectState(dialog, WindowState::Busy);
    // The window still takes input: the Details toggle works while connecting.
    dialog.ControlAs<QPushButton>(IDC_DETAILS)->click();
    EXPECT_TRUE(dialog.RemoteList()->IsReportMode());

    ASSERT_TRUE(busy.Cancel());
    ExpectState(dialog, WindowState::NotConnected);
    EXPECT_TRUE(dialog.ControlAs<QLineEdit>(IDC_FILE_NAME)->text().isEmpty());
    EXPECT_TRUE(messages.Calls().empty());
}

TEST(MainDialogState, SwitchingTabsKeepsEditsShowsTheSiteAndLogsOut) {
    MainDialog dialog({});
    ShowWindow(dialog);
    dialog.Pane(0)->AddressEdit()->setText("ftp.example.org");

    dialog.SiteTabBar()->setCurrentIndex(2);
    EXPECT_EQ(dialog.CurrentPane(), dialog.Pane(2));
    for (std::size_t i = 0; i < kSiteCount; ++i) {
        EXPECT_EQ(dialog.Pane(i)->isVisible(), i == 2) << i;
    }
    EXPECT_EQ(dialog.focusWidget(), dialog.Pane(2)->AddressEdit());
    // The unsaved edit of the site left behind was read into its profile.
    EXPECT_EQ(dialog.Sites().Profile(0).address, "ftp.example.org");
    ExpectState(dialog, WindowState::NotConnected);

    dialog.SiteTabBar()->setCurrentIndex(0);
    EXPECT_EQ(dialog.Pane(0)->AddressEdit()->text(), "ftp.example.org");
}

TEST(MainDialogState, SavePasswordsToggleMarksTheFirstSite) {
    MainDialog dialog({});
    const QString plain = dialog.windowTitle();
    QAction* item = dialog.MenuAction(ID_FILE_SAVE_PASSWORDS);
    for (bool expected : {false, true}) {
        item->trigger();
        EXPECT_EQ(dialog.Sites().SavePasswords(), expected);
        EXPECT_EQ(item->isChecked(), expected);
        EXPECT_TRUE(dialog.Sites().IsModified(0));
        EXPECT_EQ(dialog.windowTitle(), plain.left(plain.size() - 1) + " *]");
    }
    // With passwords not saved, typing one is no edit of the site.
    item->trigger();
    dialog.Pane(3)->PasswordEdit()->setText("secret");
    EXPECT_FALSE(dialog.Sites().IsModified(3));
}

// Counts the tool-tip events that reach a widget.
class TooltipCounter : public QObject {
public:
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::ToolTip) {
            ++count;
            return true; // no real tooltip window
        }
        return false;
    }
};

TEST(MainDialogState, ToolTipsToggleSwitchesEveryTooltipOfTheWindow) {
    MainDialog dialog({});
    QWidget otherWindow;
    QWidget* widgets[] = {dialog.Control(IDC_LOGIN), dialog.RemoteList()->ListView()->viewport(),
                          &otherWindow};
    TooltipCounter counters[3];
    auto hover = [&](std::vector<int> expected) {
        for (int i = 0; i < 3; ++i) {
            widgets[i]->installEventFilter(&counters[i]);
            QHelpEvent event(QEvent::ToolTip, QPoint(2, 2), widgets[i]->mapToGlobal(QPoint(2, 2)));
            QApplication::sendEvent(widgets[i], &event);
            EXPECT_EQ(counters[i].count, expected[i]) << i;
        }
    };
    QAction* item = dialog.MenuAction(ID_HELP_TOOLTIPS);
    item->trigger();
    EXPECT_FALSE(dialog.TooltipsEnabled());
    EXPECT_FALSE(item->isChecked());
    hover({0, 0, 1}); // other windows keep theirs
    item->trigger();
    EXPECT_TRUE(item->isChecked());
    hover({1, 1, 2});
}

TEST(MainDialogState, DetailsSwitchesBetweenListAndReportAndTakesEnter) {
    MainDialog dialog({});
    ShowWindow(dialog);
    auto* details = dialog.ControlAs<QPushButton>(IDC_DETAILS);
    ListViewControl* list = dialog.RemoteList();
    // Enter on a focused button presses it rather than ending the window.
    details->setFocus();
    QTest::keyClick(details, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(list->ReportView()->isVisible());
    EXPECT_FALSE(list->ListView()->isVisible());
    EXPECT_EQ(list->ReportView()->geometry(), list->ListView()->geometry());
    details->click();
    EXPECT_TRUE(list->ListView()->isVisible());
    // Nothing was edited: the close box ends the window without a question.
    dialog.close();
    EXPECT_FALSE(dialog.isVisible());
}

// A shown window with an unsaved site edit, so ending it asks about saving.
void ShowModified(MainDialog& dialog) {
    ShowWindow(dialog);
    dialog.Pane(2)->UsernameEdit()->setText("anonymous");
}

// Escape used to end the window at once, throwing unsaved site edits away; it
// now takes the exit path like every other way out.
TEST(MainDialogExit, TheSaveQuestionDecidesEveryExitPath) {
    enum Path { Menu, CloseBox, AltF4, Escape };
    const struct {
        Path path;
        Answer answer;
        bool ends;
    } cases[] = {
        {Menu, Answer::Yes, true},     {Menu, Answer::No, true},          {Menu, Answer::Cancel, false},
        {CloseBox, Answer::Yes, true}, {CloseBox, Answer::Cancel, false}, {Escape, Answer::Cancel, false},
        {Escape, Answer::Yes, true},   {AltF4, Answer::No, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "path " << c.path << " answer " << static_cast<int>(c.answer));
        MainDialog dialog({});
        ShowModified(dialog);
        MessageRecorder messages({c.answer});
        QLineEdit* folder = dialog.ControlAs<QLineEdit>(IDC_DOWNLOAD_FOLDER);
        folder->setFocus();
        if (c.path == Menu) {
            dialog.MenuAction(ID_FILE_EXIT)->trigger();
        } else if (c.path == CloseBox) {
            dialog.close();
        } else if (c.path == AltF4) {
            QTest::keyClick(folder, Qt::Key_F4, Qt::AltModifier);
        } else {
            QTest::keyClick(folder, Qt::Key_Escape);
        }
        ASSERT_EQ(messages.Calls().size(), 1u);
        const MessageRequest& asked = messages.Calls()[0];
        EXPECT_EQ(asked.text, "Save your FTP preferences?");
        EXPECT_EQ(asked.caption, "Save Confirmation");
        EXPECT_EQ(asked.icon, MessageIcon::Question);
        EXPECT_EQ(asked.buttons, MessageButtons::YesNoCancel);
        EXPECT_EQ(asked.parent, &dialog);
        EXPECT_EQ(dialog.isVisible(), !c.ends);
        EXPECT_EQ(dialog.SavesOnExit(), c.answer == Answer::Yes);
    }
}

TEST(MainDialogExit, NothingEndsTheWindowWhileBusy) {
    MainDialog dialog({});
    ShowModified(dialog);
    MessageRecorder messages;
    BusyWindow busy(dialog);
    ASSERT_TRUE(dialog.Busy());
    QLineEdit* folder = dialog.ControlAs<QLineEdit>(IDC_DOWNLOAD_FOLDER);
    folder->setFocus();

    EXPECT_FALSE(dialog.close());
    QTest::keyClick(folder, Qt::Key_Return);
    QTest::keyClick(folder, Qt::Key_Escape);
    QTest::keyClick(folder, Qt::Key_F4, Qt::AltModifier);
    dialog.DispatchCommand(ID_FILE_EXIT);
    dialog.accept();
    dialog.reject();
    dialog.done(QDialog::Accepted);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(messages.Calls().empty());

    // Once the run has ended the close box asks again.
    ASSERT_TRUE(busy.Cancel());
    MessageRecorder afterwards({Answer::No});
    dialog.close();
    EXPECT_EQ(afterwards.Calls().size(), 1u);
    EXPECT_FALSE(dialog.isVisible());
}

} // namespace
} // namespace tidewell
