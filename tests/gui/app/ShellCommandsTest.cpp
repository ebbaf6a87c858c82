// The Help menu and View Local Disk: the About box, the help window, the
// connection log and the file manager, each through its hook so that nothing
// real opens.
#include "gui/app/MainDialog.h"

#include "core/remote/ConnectionLog.h"
#include "gui/remote/ConnectionLogWindow.h"
#include "gui/ui/AboutDialog.h"
#include "gui/ui/DesktopServices.h"
#include "gui/ui/HelpWindow.h"
#include "gui/ui/LinkLabel.h"
#include "resources/ResourceIds.h"
#include "support/MessageRecorder.h"

#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <gtest/gtest.h>

namespace tidewell {
namespace {

using namespace res;
using test::MessageRecorder;

const QString kProductPage = QStringLiteral("https://tidewell.example.org/");

TEST(AboutBox, ShowsNameVersionAndAnUnvisitedLinkEachTimeItOpens) {
    MainDialog dialog{{}};
    std::vector<QUrl> opened;
    ScopedDesktopHook desktop({[&](const QUrl& url) {
                                   opened.push_back(url);
                                   return true;
                               },
                               {},
                               {}});
    int openings = 0;
    ScopedAboutBoxHook about([&](AboutDialog& box) {
        ++openings;
        EXPECT_EQ(box.parentWidget(), &dialog);
        EXPECT_EQ(box.windowTitle(), "About Tidewell");
        QStringList texts;
        for (const QLabel* label : box.findChildren<QLabel*>()) {
            texts << label->text();
        }
        EXPECT_TRUE(texts.contains("Tidewell Version 2.3"));
        EXPECT_EQ(box.OkButton()->text(), "OK");
        LinkLabel* link = box.Link();
        EXPECT_EQ(link->text(), "Check The Tidewell Website For Latest Releases");
        EXPECT_EQ(link->toolTip(), kProductPage);
        EXPECT_FALSE(link->Visited());
        // Opened once, it is visited in this box only.
        box.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
        QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(2, 2));
        EXPECT_TRUE(link->Visited());
    });
    ASSERT_TRUE(dialog.DispatchCommand(IDC_ABOUT));
    dialog.MenuAction(IDC_ABOUT)->trigger();
    EXPECT_EQ(openings, 2);
    EXPECT_EQ(opened, (std::vector<QUrl>{QUrl(kProductPage), QUrl(kProductPage)}));
}

TEST(HelpWindow, OpensOnItsPageInOneWindowThatClosesWithTheMainWindow) {
    MainDialog dialog{{}};
    dialog.show();
    ASSERT_TRUE(dialog.DispatchCommand(ID_HELP));
    const auto windows = dialog.findChildren<HelpWindow*>();
    ASSERT_EQ(windows.size(), 1);
    HelpWindow* help = windows.front();
    EXPECT_TRUE(help->isWindow());
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->CurrentPage(), HelpWindow::ContentsPage());
    EXPECT_EQ(help->Browser()->documentTitle(), "Contents");

    dialog.MenuAction(ID_HELP_CONTENTS)->trigger();
    EXPECT_EQ(dialog.findChildren<HelpWindow*>().size(), 1);
    EXPECT_EQ(help->CurrentPage(), HelpWindow::IndexPage());
    EXPECT_EQ(help->Browser()->documentTitle(), "Index");

    MessageRecorder answers({Answer::No}); // in case the exit path asks about saving
    dialog.DispatchCommand(ID_FILE_EXIT);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(help->isVisible());
}

// Beside the main window, not over it: it shows the log as lines come, and goes with the window.
TEST(ConnectionLogWindow, FollowsTheLogInOneWindowThatClosesWithTheMainWindow) {
    MainDialog dialog{{}};
    dialog.show();
    const auto log = dialog.Session().Log();
    log->Append(ftp::LogLine::Now(ftp::LogKind::Command, "USER tester"));
    dialog.MenuAction(ID_HELP_CONNECTION_LOG)->trigger();
    const auto windows = dialog.findChildren<ConnectionLogWindow*>();
    ASSERT_EQ(windows.size(), 1);
    ConnectionLogWindow* window = windows.front();
    EXPECT_TRUE(window->isWindow());
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isModal());
    EXPECT_EQ(window->windowTitle(), "Connection Log");
    EXPECT_TRUE(window->View()->toPlainText().endsWith("> USER tester"));
    log->Append(ftp::LogLine::Now(ftp::LogKind::Reply, "331 Password required"));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return window->View()->toPlainText().endsWith("< 331 Password required"); }));
    EXPECT_EQ(window->View()->blockCount(), 2);

    dialog.DispatchCommand(ID_HELP_CONNECTION_LOG);
    EXPECT_EQ(dialog.findChildren<ConnectionLogWindow*>().size(), 1);
    MessageRecorder answers({Answer::No}); // in case the exit path asks about saving
    dialog.DispatchCommand(ID_FILE_EXIT);
    EXPECT_FALSE(window->isVisible());
}

// Every link between the help pages leads to a page that exists, and to an anchor it has.
TEST(HelpWindow, EveryLinkOfThePagesLeadsSomewhere) {
    MainDialog dialog{{}};
    HelpWindow help(&dialog);
    const QStringList pages = QDir(QStringLiteral(":/help")).entryList({QStringLiteral("*.html")});
    EXPECT_GE(pages.size(), 2);
    const QRegularExpression href(QStringLiteral(R"re(href="([^"#]*)(?:#([^"]*))?")re"));
    int links = 0;
    for (const QString& page : pages) {
        QFile file(":/help/" + page);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << page.toStdString();
        const QString html = QString::fromUtf8(file.readAll());
        for (const QRegularExpressionMatch& link : href.globalMatch(html)) {
            const QString target = link.captured(1).isEmpty() ? page : link.captured(1);
            SCOPED_TRACE(page.toStdString() + " -> " + link.captured(0).toStdString());
            ++links;
            QFile linked(":/help/" + target);
            ASSERT_TRUE(linked.open(QIODevice::ReadOnly));
            if (!link.captured(2).isEmpty()) {
                EXPECT_TRUE(
                    linked.readAll().contains(QStringLiteral("id=\"%1\"").arg(link.captured(2)).toUtf8()));
            }
        }
    }
    EXPECT_GT(links, 50);
}

TEST(ViewLocalDisk, OpensTheFileSystemRootAndSaysSoWhenItCannot) {
    MainDialog dialog{{}};
    bool opens = true;
    std::vector<QUrl> opened;
    ScopedDesktopHook desktop({[&](const QUrl& url) {
                                   opened.push_back(url);
                                   return opens;
                               },
                               {},
                               {}});
    MessageRecorder messages;
    dialog.ControlAs<QPushButton>(IDC_VIEW_LOCAL_DISK)->click();
    EXPECT_TRUE(messages.Calls().empty());
    opens = false;
    dialog.ControlAs<QPushButton>(IDC_VIEW_LOCAL_DISK)->click();
    EXPECT_EQ(opened, (std::vector<QUrl>{QUrl("file:///"), QUrl("file:///")}));
    ASSERT_EQ(messages.Calls().size(), 1u);
    EXPECT_EQ(messages.Calls()[0].text, "Could Not View Local Disk");
    EXPECT_EQ(messages.Calls()[0].caption, "ERROR");
    EXPECT_EQ(messages.Calls()[0].icon, MessageIcon::Stop);
}

} // namespace
} // namespace tidewell
