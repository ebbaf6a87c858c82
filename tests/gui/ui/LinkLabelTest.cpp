// The link control: how it fits its text, its colours, tooltip and cursor, and
// what a click does — the desktop's handler, the registered browser command as
// the fallback, and the message when both fail.
#include "gui/ui/LinkLabel.h"

#include "core/app/HyperlinkRules.h"
#include "gui/ui/DesktopServices.h"
#include "support/MessageRecorder.h"

#include <QDir>
#include <QEnterEvent>
#include <QFile>
#include <QMouseEvent>
#include <QStandardPaths>
#include <QTest>
#include <gtest/gtest.h>

namespace tidewell {
namespace {

using test::MessageRecorder;

const QString kAddress = QStringLiteral("https://tidewell.example.org/");
const QString kText = QStringLiteral("Check The Tidewell Website For Latest Releases");

class LinkLabelTest : public ::testing::Test {
protected:
    // A link at (20, 30), 400 by 40, with the given alignment, attached.
    LinkLabel* MakeLink(Qt::Alignment alignment, const QString& url = kAddress) {
        auto* link = new LinkLabel(&parent);
        link->SetUrl(url);
        link->setText(kText);
        link->setAlignment(alignment);
        link->setGeometry(20, 30, 400, 40);
        link->Attach();
        return link;
    }
    QSize TextSize(const LinkLabel& link) const {
        return QFontMetrics(link.font()).size(Qt::TextSingleLine, link.text());
    }

    QWidget parent;
};

TEST_F(LinkLabelTest, ALeftAlignedLinkShrinksToItsTextAndACentredOneAroundItsCentre) {
    LinkLabel* left = MakeLink(Qt::AlignLeft | Qt::AlignTop);
    EXPECT_TRUE(left->font().underline());
    const QSize text = TextSize(*left);
    EXPECT_EQ(left->geometry(), QRect(QPoint(20, 30), text));

    LinkLabel* centred = MakeLink(Qt::AlignHCenter | Qt::AlignVCenter);
    // Each edge moves by half the difference, truncated toward zero.
    const int dx = (400 - text.width()) / 2;
    const int dy = (40 - text.height()) / 2;
    EXPECT_EQ(centred->geometry(), QRect(20 + dx, 30 + dy, 400 - 2 * dx, 40 - 2 * dy));

    LinkLabel* right = MakeLink(Qt::AlignRight | Qt::AlignTop);
    EXPECT_EQ(right->geometry(), QRect(420 - text.width(), 30, text.width(), text.height()));
}

TEST_F(LinkLabelTest, TheAddressIsTheTooltipAndAnEmptyAddressIsTheText) {
    LinkLabel* link = MakeLink(Qt::AlignLeft);
    EXPECT_EQ(link->text(), kText);
    EXPECT_EQ(link->toolTip(), kAddress);
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    link->SetUrl(QStringLiteral("https://example.org/other"));
    EXPECT_EQ(link->toolTip(), "https://example.org/other");

    LinkLabel* bare = MakeLink(Qt::AlignLeft, QString());
    EXPECT_EQ(bare->Url(), kText);
    EXPECT_EQ(bare->toolTip(), kText);
}

TEST_F(LinkLabelTest, TheColourIsTheHighlightWhileHoveredElseVisitedOrUnvisited) {
    LinkLabel* link = MakeLink(Qt::AlignLeft);
    const auto drawn = [link] { return link->palette().color(QPalette::WindowText); };
    EXPECT_EQ(link->HoverColour(), parent.palette().color(QPalette::Highlight));
    EXPECT_EQ(drawn(), LinkLabel::kUnvisitedColour);

    const QPointF inside(2, 2);
    QEnterEvent enter(inside, inside, link->mapToGlobal(inside));
    QCoreApplication::sendEvent(link, &enter);
    EXPECT_TRUE(link->Hovering());
    EXPECT_EQ(drawn(), link->HoverColour());
    link->SetVisited(true);
    EXPECT_EQ(drawn(), link->HoverColour()); // hovering wins

    // A move outside while the mouse is held by the link ends the hover.
    const QPointF outside(-5, -5);
    QMouseEvent move(QEvent::MouseMove, outside, link->mapToGlobal(outside), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(link, &move);
    EXPECT_FALSE(link->Hovering());
    EXPECT_EQ(drawn(), LinkLabel::kVisitedColour);

    QCoreApplication::sendEvent(link, &enter);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(link, &leave);
    EXPECT_EQ(drawn(), LinkLabel::kVisitedColour);
}

TEST_F(LinkLabelTest, AClickOpensTheAddressAndAFailedOneSaysWhyAndClearsVisited) {
    LinkLabel* link = MakeLink(Qt::AlignLeft);
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    bool opens = true;
    std::vector<QUrl> opened;
    ScopedDesktopHook desktop({[&](const QUrl& url) {
                                   opened.push_back(url);
                                   return opens;
                               },
                               [](const QString&) { return QString(); },
                               {}});
    MessageRecorder messages;
    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(opened, std::vector<QUrl>{QUrl(kAddress)});
    EXPECT_TRUE(link->Visited());
    EXPECT_TRUE(messages.Calls().empty());

    // No handler and no registered browser: code 31.
    opens = false;
    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_FALSE(link->Visited());
    ASSERT_EQ(messages.Calls().size(), 1u);
    EXPECT_EQ(messages.Calls()[0].text, hyperlink::OpenErrorMessage(hyperlink::kNoAssociation));
    EXPECT_EQ(messages.Calls()[0].caption, "Tidewell");
    EXPECT_EQ(messages.Calls()[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(messages.Calls()[0].parent, link->window());
}

TEST_F(LinkLabelTest, TheFallbackStartsTheRegisteredBrowserCommandCutAtItsPlaceholder) {
    const QString applications = QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
    ASSERT_TRUE(QDir().mkpath(applications));
    QFile entry(applications + "/test-browser.desktop");
    ASSERT_TRUE(entry.open(QIODevice::WriteOnly));
    entry.write("[Desktop Entry]\nType=Application\nName=Test Browser\n"
                "Exec=\"/nonexistent/Test Browser/browser\" \"%u\" --new-window\n");
    entry.close();

    std::vector<QString> asked;
    std::vector<QStringList> started;
    bool starts = true;
    ScopedDesktopHook desktop({[](const QUrl&) { return false; },
                               [&](const QString& mimeType) {
                                   asked.push_back(mimeType);
                                   return mimeType == "text/html" ? QStringLiteral("test-browser.desktop")
                                                                  : QString();
                               },
                               [&](const QString& program, const QStringList& arguments) {
                                   started.push_back(QStringList{program} + arguments);
                                   return starts;
                               }});
    EXPECT_TRUE(hyperlink::Succeeded(LinkLabel::OpenUrl(kAddress)));
    EXPECT_EQ(asked, (std::vector<QString>{"x-scheme-handler/https", "text/html"}));
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0], (QStringList{"/nonexistent/Test Browser/browser", kAddress}));

    // A registered browser that is not there.
    starts = false;
    EXPECT_EQ(LinkLabel::OpenUrl(kAddress), hyperlink::kFileNotFound);
}

} // namespace
} // namespace tidewell
