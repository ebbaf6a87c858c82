// The main window is built from its template, menu and tooltip tables: every
// control in its place, with its kind, text and first enabled state.
#include "gui/app/MainDialog.h"
#include "gui/profiles/TabPane.h"
#include "gui/remote/ListViewControl.h"
#include "gui/remote/RemoteListModel.h"
#include "gui/ui/AnimationControl.h"
#include "gui/ui/DialogUnits.h"
#include "gui/ui/TabControl.h"
#include "gui/ui/TemplateBuilder.h"
#include "resources/DialogTemplate.h"
#include "resources/ResourceIds.h"

#include <QAction>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTreeView>
#include <gtest/gtest.h>

namespace tidewell {
namespace {

using res::ControlKind;

// The class each kind is built as, and the property showing its text (nullptr: none).
const std::map<ControlKind, std::pair<const char*, const char*>> kBuiltAs = {
    {ControlKind::Icon, {"QLabel", nullptr}},
    {ControlKind::PushButton, {"QPushButton", "text"}},
    {ControlKind::CheckButton, {"QPushButton", "text"}},
    {ControlKind::IconButton, {"QPushButton", "text"}},
    {ControlKind::Static, {"QLabel", "text"}},
    {ControlKind::GroupBox, {"QGroupBox", "title"}},
    {ControlKind::Edit, {"QLineEdit", "text"}},
    {ControlKind::TabControl, {"tidewell::TabControl", nullptr}},
    {ControlKind::ListView, {"tidewell::ListViewControl", nullptr}},
    {ControlKind::ProgressBar, {"QProgressBar", nullptr}},
    {ControlKind::Animation, {"tidewell::AnimationControl", nullptr}},
};

class MainDialogTemplateTest : public ::testing::Test {
protected:
    MainDialog dialog{{}};
    DialogUnits units{dialog.font()};
};

// Controls with and without an id alike: each is found among its parent's
// children by its id and its place.
TEST_F(MainDialogTemplateTest, EveryControlIsBuiltAtItsTemplatePlace) {
    // The transfer fields get their resting texts during start-up.
    const std::map<int, QString> restingTexts = {
        {res::IDC_FILE_PERCENT, "0%"},          {res::IDC_BYTES, "of 0 Bytes"},
        {res::IDC_SESSION_PERCENT, "0%"},       {res::IDC_THROUGHPUT, "0 KB/sec."},
        {res::IDC_TIME_REMAINING, "0 Sec(s)."},
    };
    TabPane* pane = dialog.Pane(3);
    EXPECT_EQ(pane->size(), QSize(units.ToPixelsX(193), units.ToPixelsY(100)));
    const std::pair<const res::DialogTemplate*, QWidget*> templates[] = {
        {&res::MainDialogTemplate(), dialog.Control(res::IDC_LOGIN)->parentWidget()},
        {&res::TabPaneTemplate(), pane},
    };
    for (const auto& [dialogTemplate, parent] : templates) {
        const QList<QWidget*> children = parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (const res::ControlTemplate& c : dialogTemplate->controls) {
            SCOPED_TRACE("control " + std::to_string(c.id) + " \"" + std::string(c.text) + "\"");
            const QRect place = units.ToPixels(c.x, c.y, c.w, c.h);
            const auto built = std::ranges::find_if(children, [&](QWidget* w) {
                return w->property("controlId") == QVariant(c.id) && w->geometry() == place;
            });
            ASSERT_NE(built, children.end());
            QWidget* widget = *built;
            const auto [className, textProperty] = kBuiltAs.at(c.kind);
            ASSERT_TRUE(widget->inherits(className));
            EXPECT_EQ(widget->isEnabled(), !(c.style & res::kDisabled));
            if (textProperty) {
                const auto resting = restingTexts.find(c.id);
                EXPECT_EQ(widget->property(textProperty).toString(),
                          resting == restingTexts.end() ? TemplateText(c.text) : resting->second);
            }
            if (auto* label = qobject_cast<QLabel*>(widget)) {
                EXPECT_EQ(label->pixmap().isNull(), c.kind != ControlKind::Icon);
                // Labels have no margins of their own: their text must fit their template width.
                EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), place.width());
            }
            if (auto* button = qobject_cast<QPushButton*>(widget)) {
                EXPECT_EQ(button->isCheckable(), c.kind == ControlKind::CheckButton);
                EXPECT_EQ(button->icon().isNull(), c.kind != ControlKind::IconButton);
            }
            if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
                EXPECT_EQ(edit->isReadOnly(), bool(c.style & res::kReadOnly));
                EXPECT_EQ(edit->hasFrame(), !(c.style & res::kNoBorder));
                EXPECT_EQ(edit->echoMode() == QLineEdit::Password, bool(c.style & res::kPassword));
            }
        }
    }
}

// The menu bar groups the table's items under their menus' titles.
TEST_F(MainDialogTemplateTest, MenuFollowsItsTable) {
    QStringList built, table;
    for (QAction* menu : dialog.MenuBar()->actions()) {
        for (QAction* item : menu->menu()->actions()) {
            built << menu->text() + " | " + (item->isSeparator() ? "-" : item->text()) +
                         (item->isCheckable() ? " [x]" : "");
        }
    }
    for (const res::MenuItemTemplate& item : res::MainMenuTemplate()) {
        table << TemplateText(item.menu) + " | " + (item.id == 0 ? "-" : TemplateText(item.text)) +
                     (item.checkable ? " [x]" : "");
    }
    EXPECT_EQ(built, table);
    EXPECT_EQ(dialog.MenuBar()->actions().size(), 2);
}

TEST_F(MainDialogTemplateTest, TooltipsShowASingleAmpersand) {
    EXPECT_EQ(dialog.Control(res::IDC_VIEW_LOCAL_DISK)->toolTip(),
              "Select Files To Upload Via Drag & Drop Onto This Window");
    EXPECT_EQ(dialog.Control(res::IDC_REMOTE_LIST)->toolTip(), "Drag & Drop Local Files To Upload");
}

// The default settings file, the title and switching tabs are checked in the settings and state tests.
TEST_F(MainDialogTemplateTest, StartUpFillsTabsPanesAndList) {
    QTabBar* tabs = dialog.SiteTabBar();
    ASSERT_EQ(tabs->count(), static_cast<int>(kSiteCount));
    const QRect display = dialog.SiteTabs()->DisplayArea();
    for (std::size_t i = 0; i < kSiteCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(tabs->tabText(static_cast<int>(i)), QString("Site %1").arg(i + 1));
        EXPECT_EQ(dialog.Pane(i)->isVisibleTo(&dialog), i == 0);
        EXPECT_TRUE(display.contains(dialog.Pane(i)->geometry()));
    }

    ListViewControl* list = dialog.RemoteList();
    RemoteListModel* model = list->Model();
    const std::pair<QString, int> columns[] = {{"File", 200}, {"Size", 90}, {"Type", 120}, {"Date", 120}};
    ASSERT_EQ(model->columnCount(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(model->headerData(i, Qt::Horizontal, Qt::DisplayRole).toString(), columns[i].first);
        EXPECT_EQ(list->ReportView()->columnWidth(i), columns[i].second);
        EXPECT_TRUE(model->headerData(i, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>() &
                    Qt::AlignLeft);
    }
    EXPECT_TRUE(list->ReportView()->header()->sectionsMovable());
    EXPECT_FALSE(dialog.windowIcon().isNull());
}

TEST(DialogUnits, ScaleByAQuarterCharacterAndAnEighthLine) {
    const DialogUnits units(7, 17);
    EXPECT_EQ(units.ToPixels(447, 303, 4, 8), QRect(782, 644, 7, 17));
    EXPECT_EQ(units.ToPixelsX(2), 4); // 3.5 rounds up
    EXPECT_EQ(units.ToPixelsY(0), 0);

    const QFont font = DialogFont();
    const DialogUnits fromFont(font);
    const QFontMetrics metrics(font);
    EXPECT_EQ(fromFont.FontHeight(), metrics.height());
    const int letters = metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    EXPECT_LE(std::abs(fromFont.AverageCharWidth() * 52 - letters), 26);
}

} // namespace
} // namespace tidewell
