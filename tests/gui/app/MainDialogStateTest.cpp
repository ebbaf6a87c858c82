// The window's three states, the site tabs, the two menu toggles and the ways
// the window ends.
#include "gui/app/MainDialog.h"
#include "gui/profiles/TabPane.h"
#include "resources/ResourceIds.h"
#include "support/MessageRecorder.h"
#include "gui/remote/ListViewControl.h"
#include "gui/remote/RemoteListModel.h"

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

// The controls' states as the window's state table gives them.
void ExpectState(MainDialog& dialog, WindowState state) {
    const char* names[] = {"not connected", "connected, idle", "busy"};
    SCOPED_TRACE(names[static_cast<int>(state)]);
    const bool connectedIdle = state == WindowState::ConnectedIdle;
    const bool busy = state == WindowState::Busy;
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
                   ID_HELP_CONTENTS, ID_HELP_TOOLTIPS, IDC_ABOUT}) {
        EXPECT_TRUE(dialog.MenuAction(id)->isEnabled()) << id;
    }
    if (!busy) {
        EXPECT_EQ(dialog.ControlAs<QPushButton>(IDC_LOGIN)->text(), connectedIdle ? "&Refresh" : "&Login");
    }
    if (state == WindowState::NotConnected) {
        EXPECT_EQ(dialog.RemoteList()->Model()->rowCount(), 0);
    }
    EXPECT_EQ(dialog.SiteTabBar()->isEnabled(), !busy);
    EXPECT_EQ(dialog.ControlAs<QLineEdit>(IDC_DOWNLOAD_FOLDER)->isReadOnly(), busy);
    for (int id : {IDC_ADDRESS, IDC_USERNAME, IDC_PASSWORD, IDC_DIRECTORY}) {
        EXPECT_EQ(dialog.currentPane->Field(id)->isReadOnly(), busy) << id;
    }
    EXPECT_EQ(dialog.acceptDrops(), !busy);
    EXPECT_EQ(dialog.cursor().shape(), busy ? Qt::WaitCursor : Qt::ArrowCursor);
    EXPECT_EQ(dialog.currentPane->AddressEdit()->cursor().shape(), busy ? Qt::WaitCursor : Qt::IBeamCursor);
}

void ShowWindow(MainDialog& dialog) {
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
}

class MainDialogStateTest : public ::testing::Test {
protected:
    // Connected and idle with a two-row listing.
    void Connect() {
        dialog.connected = true;
        dialog.SetIdleState(true);
        ListingResult listing;
        listing.connected = true;
        listing.rows = {{"..", kDirectoryTag, {}, {}}, {"readme.txt", kDirectoryTag, {}, {}}};
        dialog.RemoteList()->Model()->SetListing(std::move(listing));
    }

    MainDialog dialog{{}};
};

TEST_F(MainDialogStateTest, ControlsFollowTheStateTable) {
    // The template's state is the not-connected one; idle without a connection offers Login only.
    ExpectState(dialog, WindowState::NotConnected);
    dialog.SetIdleState(false);
    dialog.SetIdleState(true);
    EXPECT_EQ(dialog.ControlAs<QPushButton>(IDC_LOGIN)->text(), "&Login");
    EXPECT_TRUE(dialog.Control(IDC_LOGIN)->isEnabled());
    EXPECT_FALSE(dialog.Control(IDC_LOGOUT)->isEnabled());

    dialog.SiteTabBar()->setCurrentIndex(4); // busy locks only the current site's fields
    Connect();
    ExpectState(dialog, WindowState::ConnectedIdle);

    dialog.SetIdleState(false);
    EXPECT_FALSE(dialog.idle);
    ExpectState(dialog, WindowState::Busy);
    EXPECT_FALSE(dialog.Pane(0)->AddressEdit()->isReadOnly());

    dialog.SetIdleState(true);
    ExpectState(dialog, WindowState::ConnectedIdle);
    EXPECT_EQ(dialog.RemoteList()->Model()->rowCount(), 2);

    const std::pair<int, const char*> counts[] = {
        {IDC_FILE_COUNT, "File(s):"}, {IDC_TOTAL_SIZE, "Total Size:"}, {IDC_DIR_COUNT, "Dir(s):"}};
    for (auto [id, text] : counts) {
        dialog.ControlAs<QLabel>(id)->setText("1");
    }
    dialog.connected = false;
    dialog.ShowLoggedOut();
    ExpectState(dialog, WindowState::NotConnected);
    for (auto [id, text] : counts) {
        EXPECT_EQ(dialog.ControlAs<QLabel>(id)->text(), text);
    }
}

TEST_F(MainDialogStateTest, SwitchingTabsKeepsEditsShowsTheSiteAndLogsOut) {
    ShowWindow(dialog);
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
    EXPECT_EQ(dialog.Pane(0)->AddressEdit()->text(), "ftp.example.org");
}

TEST_F(MainDialogStateTest, TheMarkerCutsThePathAtItsFirstBracket) {
    const struct {
        const char *path, *marked;
    } cases[] = {
        {"/data/site]s[*]/x.dat", "Tidewell - [/data/site *]"},
        {"/data/[*]/x.dat", nullptr}, // a literal placeholder stays in the plain title
    };
    for (const auto& c : cases) {
        dialog.settingsPath = c.path;
        dialog.SetPlainTitle();
        EXPECT_EQ(dialog.Title(), QString("Tidewell - [%1]").arg(c.path));
        if (c.marked) {
            dialog.Pane(1)->AddressEdit()->setText(c.path);
            EXPECT_EQ(dialog.Title(), c.marked);
        }
    }
}

TEST_F(MainDialogStateTest, SavePasswordsToggleMarksTheFirstSite) {
    const QString plain = dialog.windowTitle();
    QAction* item = dialog.MenuAction(ID_FILE_SAVE_PASSWORDS);
    for (bool expected : {false, true}) {
        item->trigger();
        EXPECT_EQ(dialog.savePasswords, expected);
        EXPECT_EQ(item->isChecked(), expected);
        EXPECT_TRUE(dialog.Pane(0)->modified);
        EXPECT_EQ(dialog.windowTitle(), plain.left(plain.size() - 1) + " *]");
    }
    // Loading at start-up marks filled-in sites without a marker in the title, and the toggle keeps it so.
    dialog.ClearSiteModified();
    dialog.SetPlainTitle();
    dialog.Pane(3)->modified = true;
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

TEST_F(MainDialogStateTest, ToolTipsToggleSwitchesEveryTooltipOfTheWindow) {
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
    EXPECT_FALSE(dialog.tooltipsEnabled);
    EXPECT_FALSE(item->isChecked());
    hover({0, 0, 1}); // other windows keep theirs
    item->trigger();
    EXPECT_TRUE(item->isChecked());
    hover({1, 1, 2});
}

TEST_F(MainDialogStateTest, DetailsSwitchesBetweenListAndReportAndTakesEnter) {
    ShowWindow(dialog);
    Connect();
    MessageRecorder messages;
    auto* details = dialog.ControlAs<QPushButton>(IDC_DETAILS);
    ListViewControl* list = dialog.RemoteList();
    // Enter on a focused button presses it rather than ending the window.
    details->setFocus();
    QTest::keyClick(details, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(details->isChecked());
    EXPECT_TRUE(list->ReportView()->isVisible());
    EXPECT_FALSE(list->ListView()->isVisible());
    EXPECT_EQ(list->ReportView()->geometry(), list->ListView()->geometry());
    EXPECT_EQ(list->Model()->rowCount(), 2); // the rows stay

    details->click();
    EXPECT_FALSE(dialog.showDetails);
    EXPECT_TRUE(list->ListView()->isVisible());
    EXPECT_TRUE(messages.Calls().empty());
}

// A shown window with an unsaved site edit, so ending it asks about saving.
void ShowModified(MainDialog& dialog) {
    ShowWindow(dialog);
    dialog.Pane(2)->UsernameEdit()->setText("anonymous");
}

TEST(MainDialogExit, TheSaveQuestionDecidesEveryExitPathButEscape) {
    enum Path { Menu, CloseBox, EnterOutsideThePanes, Escape };
    const struct {
        Path path;
        int answer; // 0: no question asked
        bool ends;
    } cases[] = {
        {Menu, Answer::Yes, true},     {Menu, Answer::No, true},          {Menu, Answer::Cancel, false},
        {CloseBox, Answer::Yes, true}, {CloseBox, Answer::Cancel, false}, {EnterOutsideThePanes, Answer::No, true},
        {Escape, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "path " << c.path << " answer " << c.answer);
        MainDialog dialog({});
        ShowModified(dialog);
        MessageRecorder messages(c.answer ? std::deque<int>{c.answer} : std::deque<int>{});
        QLineEdit* folder = dialog.ControlAs<QLineEdit>(IDC_DOWNLOAD_FOLDER);
        folder->setFocus();
        if (c.path == Menu) {
            dialog.MenuAction(ID_FILE_EXIT)->trigger();
        } else if (c.path == CloseBox) {
            dialog.close();
        } else {
            QTest::keyClick(folder, c.path == Escape ? Qt::Key_Escape : Qt::Key_Return);
        }
        ASSERT_EQ(messages.Calls().size(), c.answer ? 1u : 0u);
        if (c.answer) {
            const MessageRequest& asked = messages.Calls()[0];
            EXPECT_EQ(asked.text, "Save your FTP preferences?");
            EXPECT_EQ(asked.caption, "Save Confirmation");
            EXPECT_EQ(asked.icon, MessageIcon::Question);
            EXPECT_EQ(asked.buttons, MessageButtons::YesNoCancel);
            EXPECT_EQ(asked.parent, &dialog);
        }
        EXPECT_EQ(dialog.isVisible(), !c.ends);
        EXPECT_EQ(dialog.saveOnExit, c.answer == Answer::Yes);
        if (c.ends) {
            EXPECT_EQ(dialog.result(), c.answer ? QDialog::Accepted : QDialog::Rejected);
        }
    }
}

TEST(MainDialogExit, NothingEndsTheWindowWhileBusy) {
    MainDialog dialog({});
    ShowModified(dialog);
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
    MessageRecorder afterwards({Answer::No});
    dialog.close();
    EXPECT_EQ(afterwards.Calls().size(), 1u);
    EXPECT_FALSE(dialog.isVisible());
}

TEST(MainDialogExit, WithNothingModifiedTheCloseBoxEndsAModalRunWithoutAQuestion) {
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
    EXPECT_FALSE(dialog.saveOnExit);
}

} // namespace
} // namespace tidewell
