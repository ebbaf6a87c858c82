// The window's three states, the site tabs, the two menu toggles and the ways
// the window ends.
#include "app/MainDialog.h"
#include "profiles/TabPane.h"
#include "resources/ResourceIds.h"
#include "support/MessageRecorder.h"
#include "ui/ListViewControl.h"
#include "ui/RemoteListModel.h"

#include <QAction>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <gtest/gtest.h>

namespace tidewell {
namespace {

using namespace res;
using test::MessageRecorder;

enum class WindowState { NotConnected, ConnectedIdle, Busy };

const char* Name(WindowState state) {
    switch (state) {
    case WindowState::NotConnected:
        return "not connected";
    case WindowState::ConnectedIdle:
        return "connected, idle";
    case WindowState::Busy:
        return "busy";
    }
    return "";
}

// The controls' states as the window's state table gives them.
void ExpectState(MainDialog& dialog, WindowState state) {
    SCOPED_TRACE(Name(state));
    const bool notConnected = state == WindowState::NotConnected;
    const bool connectedIdle = state == WindowState::ConnectedIdle;
    const bool busy = state == WindowState::Busy;

    auto* login = dialog.ControlAs<QPushButton>(IDC_LOGIN);
    EXPECT_EQ(login->isEnabled(), !busy);
    if (!busy) {
        EXPECT_EQ(login->text(), connectedIdle ? "&Refresh" : "&Login");
    }
    EXPECT_EQ(dialog.Control(IDC_LOGOUT)->isEnabled(), connectedIdle);
    for (int id : {IDC_HOME, IDC_UP, IDC_DOWNLOAD, IDC_UPLOAD, IDC_DELETE, IDC_NEW_DIR, IDC_REMOTE_LIST}) {
        EXPECT_EQ(dialog.Control(id)->isEnabled(), connectedIdle) << id;
    }
    if (notConnected) {
        EXPECT_EQ(dialog.RemoteList()->Model()->rowCount(), 0);
    }
    EXPECT_EQ(dialog.Control(IDC_SITE_TABS)->isEnabled(), !busy);
    EXPECT_EQ(dialog.SiteTabBar()->isEnabled(), !busy);
    EXPECT_EQ(dialog.Control(IDC_BROWSE)->isEnabled(), !busy);

    EXPECT_EQ(dialog.ControlAs<QLineEdit>(IDC_DOWNLOAD_FOLDER)->isReadOnly(), busy);
    for (int id : {IDC_ADDRESS, IDC_USERNAME, IDC_PASSWORD, IDC_DIRECTORY}) {
        EXPECT_EQ(dialog.currentPane->Field(id)->isReadOnly(), busy) << id;
    }
    EXPECT_EQ(dialog.MenuAction(ID_FILE_EXIT)->isEnabled(), !busy);
    EXPECT_EQ(dialog.MenuAction(ID_FILE_OPEN_PREFERENCES)->isEnabled(), !busy);
    EXPECT_EQ(dialog.acceptDrops(), !busy);
    EXPECT_EQ(dialog.cursor().shape(), busy ? Qt::WaitCursor : Qt::ArrowCursor);
    EXPECT_EQ(dialog.currentPane->AddressEdit()->cursor().shape(), busy ? Qt::WaitCursor : Qt::IBeamCursor);

    // Always available.
    for (int id : {IDC_CANCEL_TRANSFER, IDC_VIEW_LOCAL_DISK, IDC_DETAILS}) {
        EXPECT_TRUE(dialog.Control(id)->isEnabled()) << id;
    }
    for (int id : {ID_FILE_SAVE_PREFERENCES, ID_FILE_SAVE_PREFERENCES_AS, ID_FILE_SAVE_PASSWORDS, ID_HELP,
                   ID_HELP_CONTENTS, ID_HELP_TOOLTIPS, IDC_ABOUT}) {
        EXPECT_TRUE(dialog.MenuAction(id)->isEnabled()) << id;
    }
}

void AddRow(MainDialog& dialog, const QString& name) {
    ListingResult listing = dialog.RemoteList()->Model()->Listing();
    listing.connected = true;
    listing.rows.push_back({name.toStdString(), kDirectoryTag, {}, {}});
    dialog.RemoteList()->Model()->SetListing(std::move(listing));
}

class MainDialogStateTest : public ::testing::Test {
protected:
    void Show() {
        dialog.show();
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }

    void Connect() {
        dialog.connected = true;
        dialog.SetIdleState(true);
        AddRow(dialog, "..");
        AddRow(dialog, "readme.txt");
    }

    MainDialog dialog{{}};
};

TEST_F(MainDialogStateTest, ControlsFollowTheStateTable) {
    // The template's state is the not-connected one.
    ExpectState(dialog, WindowState::NotConnected);

    Connect();
    ExpectState(dialog, WindowState::ConnectedIdle);

    dialog.SetIdleState(false);
    EXPECT_FALSE(dialog.idle);
    ExpectState(dialog, WindowState::Busy);

    dialog.SetIdleState(true);
    ExpectState(dialog, WindowState::ConnectedIdle);
    EXPECT_EQ(dialog.RemoteList()->Model()->rowCount(), 2);

    dialog.ControlAs<QLabel>(IDC_FILE_COUNT)->setText("File(s): 1");
    dialog.ControlAs<QLabel>(IDC_TOTAL_SIZE)->setText("Total Size: 12 Bytes");
    dialog.ControlAs<QLabel>(IDC_DIR_COUNT)->setText("Dir(s): 0");
    dialog.connected = false;
    dialog.ShowLoggedOut();
    ExpectState(dialog, WindowState::NotConnected);
    EXPECT_EQ(dialog.ControlAs<QLabel>(IDC_FILE_COUNT)->text(), "File(s):");
    EXPECT_EQ(dialog.ControlAs<QLabel>(IDC_TOTAL_SIZE)->text(), "Total Size:");
    EXPECT_EQ(dialog.ControlAs<QLabel>(IDC_DIR_COUNT)->text(), "Dir(s):");
}

TEST_F(MainDialogStateTest, IdleWithoutAConnectionOffersLoginNotLogout) {
    dialog.SetIdleState(false);
    dialog.SetIdleState(true);
    EXPECT_EQ(dialog.ControlAs<QPushButton>(IDC_LOGIN)->text(), "&Login");
    EXPECT_FALSE(dialog.Control(IDC_LOGOUT)->isEnabled());
    EXPECT_TRUE(dialog.Control(IDC_LOGIN)->isEnabled());
}

TEST_F(MainDialogStateTest, BusyMakesOnlyTheCurrentPaneReadOnly) {
    dialog.SiteTabBar()->setCurrentIndex(4);
    dialog.SetIdleState(false);
    EXPECT_TRUE(dialog.Pane(4)->AddressEdit()->isReadOnly());
    EXPECT_FALSE(dialog.Pane(0)->AddressEdit()->isReadOnly());
    dialog.SetIdleState(true);
    EXPECT_FALSE(dialog.Pane(4)->AddressEdit()->isReadOnly());
}

TEST_F(MainDialogStateTest, SwitchingTabsKeepsEditsShowsTheSiteAndLogsOut) {
    Show();
    Connect();
    dialog.Pane(0)->AddressEdit()->setText("ftp.example.org");

    dialog.SiteTabBar()->setCurrentIndex(2);

    EXPECT_EQ(dialog.currentPane, dialog.Pane(2));
    for (int i = 0; i < MainDialog::kSiteCount; ++i) {
        EXPECT_EQ(dialog.Pane(i)->isVisible(), i == 2) << i;
    }
    EXPECT_EQ(dialog.focusWidget(), dialog.Pane(2)->AddressEdit());
    // The unsaved edit of the site left behind was read into its profile.
    EXPECT_EQ(dialog.Pane(0)->profile.address, "ftp.example.org");
    EXPECT_FALSE(dialog.connected);
    ExpectState(dialog, WindowState::NotConnected);

    dialog.SiteTabBar()->setCurrentIndex(0);
    EXPECT_EQ(dialog.currentPane, dialog.Pane(0));
    EXPECT_EQ(dialog.Pane(0)->AddressEdit()->text(), "ftp.example.org");
}

TEST_F(MainDialogStateTest, TheModifiedMarkerAppearsOnce) {
    const QString plain = dialog.windowTitle();
    ASSERT_TRUE(plain.endsWith("]"));
    dialog.Pane(0)->AddressEdit()->setText("a");
    const QString marked = plain.left(plain.size() - 1) + " *]";
    EXPECT_EQ(dialog.windowTitle(), marked);
    dialog.Pane(0)->UsernameEdit()->setText("b");
    dialog.Pane(5)->DirectoryEdit()->setText("/pub");
    EXPECT_EQ(dialog.windowTitle(), marked);
    EXPECT_TRUE(dialog.Pane(0)->modified);
    EXPECT_TRUE(dialog.Pane(5)->modified);
    EXPECT_FALSE(dialog.Pane(1)->modified);

    dialog.ClearSiteModified();
    EXPECT_FALSE(dialog.AnySiteModified());
}

TEST_F(MainDialogStateTest, TheMarkerCutsAPathAtItsFirstBracket) {
    dialog.settingsPath = "/data/site]s[*]/x.dat";
    dialog.SetPlainTitle();
    EXPECT_EQ(dialog.Title(), "Tidewell - [/data/site]s[*]/x.dat]");
    dialog.Pane(1)->AddressEdit()->setText("a");
    EXPECT_EQ(dialog.Title(), "Tidewell - [/data/site *]");
}

TEST_F(MainDialogStateTest, TitleKeepsALiteralPlaceholder) {
    dialog.settingsPath = "/data/[*]/x.dat";
    dialog.SetPlainTitle();
    EXPECT_EQ(dialog.Title(), "Tidewell - [/data/[*]/x.dat]");
}

TEST_F(MainDialogStateTest, SavePasswordsToggleMarksTheFirstSite) {
    const QString plain = dialog.windowTitle();
    QAction* item = dialog.MenuAction(ID_FILE_SAVE_PASSWORDS);

    item->trigger();
    EXPECT_FALSE(dialog.savePasswords);
    EXPECT_FALSE(item->isChecked());
    EXPECT_TRUE(dialog.Pane(0)->modified);
    EXPECT_EQ(dialog.windowTitle(), plain.left(plain.size() - 1) + " *]");

    item->trigger();
    EXPECT_TRUE(dialog.savePasswords);
    EXPECT_TRUE(item->isChecked());
    EXPECT_TRUE(dialog.Pane(0)->modified);
    EXPECT_EQ(dialog.windowTitle().count(" *]"), 1);
}

TEST_F(MainDialogStateTest, SavePasswordsToggleLeavesTheTitleWhenASiteIsAlreadyModified) {
    // Loading at start-up marks filled-in sites without a marker in the title.
    dialog.Pane(3)->modified = true;
    const QString plain = dialog.windowTitle();
    EXPECT_TRUE(dialog.DispatchCommand(ID_FILE_SAVE_PASSWORDS));
    EXPECT_EQ(dialog.windowTitle(), plain);
    EXPECT_TRUE(dialog.Pane(0)->modified);
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

void SendToolTipEvent(QWidget* widget) {
    QHelpEvent event(QEvent::ToolTip, QPoint(2, 2), widget->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(widget, &event);
}

TEST_F(MainDialogStateTest, ToolTipsToggleSwitchesEveryTooltipOfTheWindow) {
    QWidget* login = dialog.Control(IDC_LOGIN);
    QWidget* listViewport = dialog.RemoteList()->ListView()->viewport();
    QWidget otherWindow;
    TooltipCounter onLogin, onList, onOther;
    login->installEventFilter(&onLogin);
    listViewport->installEventFilter(&onList);
    otherWindow.installEventFilter(&onOther);

    SendToolTipEvent(login);
    EXPECT_EQ(onLogin.count, 1);

    dialog.MenuAction(ID_HELP_TOOLTIPS)->trigger();
    EXPECT_FALSE(dialog.tooltipsEnabled);
    EXPECT_FALSE(dialog.MenuAction(ID_HELP_TOOLTIPS)->isChecked());
    SendToolTipEvent(login);
    SendToolTipEvent(listViewport);
    SendToolTipEvent(&otherWindow);
    EXPECT_EQ(onLogin.count, 1);
    EXPECT_EQ(onList.count, 0);
    EXPECT_EQ(onOther.count, 1); // other windows keep theirs

    dialog.MenuAction(ID_HELP_TOOLTIPS)->trigger();
    EXPECT_TRUE(dialog.tooltipsEnabled);
    EXPECT_TRUE(dialog.MenuAction(ID_HELP_TOOLTIPS)->isChecked());
    SendToolTipEvent(login);
    EXPECT_EQ(onLogin.count, 2);
}

TEST_F(MainDialogStateTest, DetailsSwitchesBetweenListAndReport) {
    Show();
    Connect();
    auto* details = dialog.ControlAs<QPushButton>(IDC_DETAILS);
    ListViewControl* list = dialog.RemoteList();
    EXPECT_TRUE(list->ListView()->isVisible());
    EXPECT_FALSE(list->ReportView()->isVisible());

    details->click();
    EXPECT_TRUE(dialog.showDetails);
    EXPECT_TRUE(list->ReportView()->isVisible());
    EXPECT_FALSE(list->ListView()->isVisible());
    EXPECT_EQ(list->ReportView()->geometry(), list->ListView()->geometry());
    EXPECT_EQ(list->Model()->rowCount(), 2); // the rows stay

    details->click();
    EXPECT_FALSE(dialog.showDetails);
    EXPECT_TRUE(list->ListView()->isVisible());
}

class ExitPathTest : public MainDialogStateTest {
protected:
    void SetUp() override {
        Show();
        dialog.Pane(2)->UsernameEdit()->setText("anonymous");
    }

    void ExpectSaveQuestion(const MessageRecorder& messages) {
        ASSERT_EQ(messages.Calls().size(), 1u);
        const MessageRequest& asked = messages.Calls()[0];
        EXPECT_EQ(asked.text, "Save your FTP preferences?");
        EXPECT_EQ(asked.caption, "Save Confirmation");
        EXPECT_EQ(asked.icon, MessageIcon::Question);
        EXPECT_EQ(asked.buttons, MessageButtons::YesNoCancel);
        EXPECT_EQ(asked.parent, &dialog);
    }
};

TEST_F(ExitPathTest, AnsweredYesEndsAndSaves) {
    MessageRecorder messages({IdYes});
    dialog.MenuAction(ID_FILE_EXIT)->trigger();
    ExpectSaveQuestion(messages);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(dialog.saveOnExit);
}

TEST_F(ExitPathTest, AnsweredNoEndsWithoutSaving) {
    MessageRecorder messages({IdNo});
    dialog.MenuAction(ID_FILE_EXIT)->trigger();
    ExpectSaveQuestion(messages);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(dialog.saveOnExit);
}

TEST_F(ExitPathTest, AnsweredCancelKeepsTheWindow) {
    MessageRecorder messages({IdCancel});
    dialog.MenuAction(ID_FILE_EXIT)->trigger();
    ExpectSaveQuestion(messages);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.saveOnExit);
}

TEST_F(ExitPathTest, TheCloseBoxAsksTheSame) {
    MessageRecorder messages({IdCancel, IdYes});
    EXPECT_FALSE(dialog.close());
    EXPECT_TRUE(dialog.isVisible());
    dialog.close();
    EXPECT_EQ(messages.Calls().size(), 2u);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(dialog.saveOnExit);
}

TEST_F(ExitPathTest, EnterOutsideThePanesIsTheExitPath) {
    MessageRecorder messages({IdNo});
    QLineEdit* folder = dialog.ControlAs<QLineEdit>(IDC_DOWNLOAD_FOLDER);
    folder->setFocus();
    QTest::keyClick(folder, Qt::Key_Return);
    ExpectSaveQuestion(messages);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(ExitPathTest, EnterOnAButtonPressesThatButton) {
    MessageRecorder messages;
    auto* details = dialog.ControlAs<QPushButton>(IDC_DETAILS);
    details->setFocus();
    QTest::keyClick(details, Qt::Key_Return);
    EXPECT_TRUE(details->isChecked());
    EXPECT_TRUE(dialog.RemoteList()->IsReportMode());
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(messages.Calls().empty());
}

TEST_F(ExitPathTest, EscapeEndsWithoutTheQuestion) {
    MessageRecorder messages;
    QLineEdit* folder = dialog.ControlAs<QLineEdit>(IDC_DOWNLOAD_FOLDER);
    folder->setFocus();
    QTest::keyClick(folder, Qt::Key_Escape);
    EXPECT_TRUE(messages.Calls().empty());
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.saveOnExit);
}

TEST_F(ExitPathTest, NothingEndsTheWindowWhileBusy) {
    MessageRecorder messages;
    dialog.SetIdleState(false);
    QLineEdit* folder = dialog.ControlAs<QLineEdit>(IDC_DOWNLOAD_FOLDER);
    folder->setFocus();

    EXPECT_FALSE(dialog.close());
    QTest::keyClick(folder, Qt::Key_Return);
    QTest::keyClick(folder, Qt::Key_Escape);
    dialog.DispatchCommand(ID_FILE_EXIT);
    dialog.accept();
    dialog.reject();
    dialog.done(QDialog::Accepted);

    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(messages.Calls().empty());

    // Once the run has ended the close box asks again.
    dialog.SetIdleState(true);
    MessageRecorder afterwards({IdNo});
    dialog.close();
    EXPECT_EQ(afterwards.Calls().size(), 1u);
    EXPECT_FALSE(dialog.isVisible());
}

TEST(MainDialogExit, TheCloseBoxEndsAModalRun) {
    MessageRecorder messages;
    MainDialog dialog({});
    QTimer::singleShot(0, &dialog, [&] { dialog.close(); });
    // Only if closing failed to end the run: end it so the failure shows instead of a hang.
    QTimer fallback;
    fallback.setSingleShot(true);
    QObject::connect(&fallback, &QTimer::timeout, &dialog, [&] { dialog.QDialog::done(-1); });
    fallback.start(10000);
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_TRUE(messages.Calls().empty());
}

TEST(MainDialogExit, WithNothingModifiedEndsWithoutAQuestion) {
    MessageRecorder messages;
    MainDialog dialog({});
    dialog.show();
    dialog.DispatchCommand(ID_FILE_EXIT);
    EXPECT_TRUE(messages.Calls().empty());
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(dialog.saveOnExit);
}

} // namespace
} // namespace tidewell
