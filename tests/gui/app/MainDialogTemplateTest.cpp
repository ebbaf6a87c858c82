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
#include <QStandardPaths>
#include <QTabBar>
#include <QTreeView>
#include <gtest/gtest.h>

#include <functional>

namespace tidewell {
namespace {

using res::ControlKind;

std::string Describe(const res::ControlTemplate& c) {
    return "control " + std::to_string(c.id) + " \"" + std::string(c.text) + "\"";
}

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

TEST_F(MainDialogTemplateTest, EveryControlIsBuiltAtItsTemplatePlace) {
    // The transfer fields get their resting texts during start-up.
    const std::map<int, QString> restingTexts = {
        {res::IDC_FILE_PERCENT, "0%"},          {res::IDC_BYTES, "of 0 Bytes"},
        {res::IDC_SESSION_PERCENT, "0%"},       {res::IDC_THROUGHPUT, "0 KB/sec."},
        {res::IDC_TIME_REMAINING, "0 Sec(s)."},
    };
    TabPane* pane = dialog.Pane(3);
    EXPECT_EQ(pane->size(), QSize(units.ToPixelsX(193), units.ToPixelsY(100)));
    const std::pair<const res::DialogTemplate*, std::function<QWidget*(int)>> templates[] = {
        {&res::MainDialogTemplate(), [&](int id) { return dialog.Control(id); }},
        {&res::TabPaneTemplate(), [&](int id) -> QWidget* { return pane->Field(id); }},
    };
    int withId = 0;
    for (const auto& [dialogTemplate, find] : templates) {
        for (const res::ControlTemplate& c : dialogTemplate->controls) {
            if (c.id == res::IDC_STATIC) {
                continue;
            }
            ++withId;
            SCOPED_TRACE(Describe(c));
            QWidget* widget = find(c.id);
            ASSERT_NE(widget, nullptr);
            const auto [className, textProperty] = kBuiltAs.at(c.kind);
            ASSERT_TRUE(widget->inherits(className));
            EXPECT_EQ(widget->geometry(), units.ToPixels(c.x, c.y, c.w, c.h));
            EXPECT_EQ(widget->isEnabled(), !(c.style & res::kDisabled));
            if (textProperty) {
                const auto resting = restingTexts.find(c.id);
                EXPECT_EQ(widget->property(textProperty).toString(),
                          resting == restingTexts.end() ? TemplateText(c.text) : resting->second);
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
    EXPECT_EQ(withId, 28 + 4);
    EXPECT_EQ(dialog.Control(12345), nullptr);

    // Controls without an id: the window's icon, labels and group boxes, and each pane's labels.
    std::vector<QString> expected, built;
    for (const res::ControlTemplate& c : res::MainDialogTemplate().controls) {
        if (c.id == res::IDC_STATIC) {
            expected.push_back(c.kind == ControlKind::Icon ? "icon" : TemplateText(c.text));
        }
    }
    for (QWidget* widget : dialog.findChildren<QWidget*>()) {
        const QVariant id = widget->property("controlId");
        if (!id.isValid() || id.toInt() != res::IDC_STATIC) {
            continue;
        }
        if (auto* label = qobject_cast<QLabel*>(widget);
            label && !qobject_cast<TabPane*>(label->parentWidget())) {
            built.push_back(label->pixmap().isNull() ? label->text() : "icon");
        } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
            built.push_back(group->title());
        }
    }
    std::sort(expected.begin(), expected.end());
    std::sort(built.begin(), built.end());
    EXPECT_EQ(built, expected);
    QStringList paneLabels;
    for (QLabel* label : pane->findChildren<QLabel*>()) {
        paneLabels << label->text();
    }
    paneLabels.sort();
    EXPECT_EQ(paneLabels, (QStringList{"Directory", "FTP Address", "Password", "Username"}));
}

TEST_F(MainDialogTemplateTest, MenuFollowsItsTable) {
    const QList<QAction*> menus = dialog.MenuBar()->actions();
    ASSERT_EQ(menus.size(), 2);
    EXPECT_EQ(menus[0]->text(), "&File");
    EXPECT_EQ(menus[1]->text(), "&Help");

    QList<QAction*> items = menus[0]->menu()->actions() + menus[1]->menu()->actions();
    const auto table = res::MainMenuTemplate();
    ASSERT_EQ(std::size_t(items.size()), table.size());
    for (std::size_t i = 0; i < table.size(); ++i) {
        SCOPED_TRACE("menu item " + std::to_string(i) + " " + std::string(table[i].text));
        if (table[i].id == 0) {
            EXPECT_TRUE(items[int(i)]->isSeparator());
            continue;
        }
        QAction* item = items[int(i)];
        EXPECT_EQ(item, dialog.MenuAction(table[i].id));
        EXPECT_EQ(item->text(), TemplateText(table[i].text));
        EXPECT_EQ(item->isCheckable(), table[i].checkable);
        EXPECT_TRUE(item->isEnabled());
    }
    // The two toggles start checked, from the defaults.
    EXPECT_TRUE(dialog.MenuAction(res::ID_HELP_TOOLTIPS)->isChecked());
    EXPECT_TRUE(dialog.MenuAction(res::ID_FILE_SAVE_PASSWORDS)->isChecked());
}

TEST_F(MainDialogTemplateTest, TooltipsShowASingleAmpersand) {
    EXPECT_EQ(dialog.Control(res::IDC_VIEW_LOCAL_DISK)->toolTip(),
              "Select Files To Upload Via Drag & Drop Onto This Window");
    EXPECT_EQ(dialog.Control(res::IDC_REMOTE_LIST)->toolTip(), "Drag & Drop Local Files To Upload");
    int withTip = 0;
    for (const res::ControlTemplate& c : res::MainDialogTemplate().controls) {
        if (c.id != res::IDC_STATIC && !dialog.Control(c.id)->toolTip().isEmpty()) {
            ++withTip;
            EXPECT_FALSE(dialog.Control(c.id)->toolTip().contains("&&")) << c.id;
        }
    }
    EXPECT_EQ(withTip, 13); // fourteen registrations, one control twice
}

TEST_F(MainDialogTemplateTest, StartUpFillsTabsPanesListAndTitle) {
    const QString defaultPath = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                                "/Tidewell/TDWL23Settings.dat";
    EXPECT_EQ(dialog.SettingsPath(), defaultPath);
    EXPECT_EQ(dialog.windowTitle(), "Tidewell - [" + defaultPath + "]");

    QTabBar* tabs = dialog.SiteTabBar();
    ASSERT_EQ(tabs->count(), static_cast<int>(kSiteCount));
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_EQ(dialog.CurrentPane(), dialog.Pane(0));
    const QRect display = dialog.SiteTabs()->DisplayArea();
    for (std::size_t i = 0; i < kSiteCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(tabs->tabText(static_cast<int>(i)), QString("Site %1").arg(i + 1));
        EXPECT_EQ(dialog.Pane(i)->isVisibleTo(&dialog), i == 0);
        EXPECT_TRUE(display.contains(dialog.Pane(i)->geometry()));
    }

    ListViewControl* list = dialog.RemoteList();
    RemoteListModel* model = list->Model();
    ASSERT_EQ(model->columnCount(), 4);
    const char* titles[] = {"File", "Size", "Type", "Date"};
    const int widths[] = {200, 90, 120, 120};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(model->headerData(i, Qt::Horizontal, Qt::DisplayRole).toString(), titles[i]);
        EXPECT_EQ(list->ReportView()->columnWidth(i), widths[i]);
        EXPECT_TRUE(model->headerData(i, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>() &
                    Qt::AlignLeft);
    }
    EXPECT_TRUE(list->ReportView()->header()->sectionsMovable());
    EXPECT_FALSE(list->IsReportMode());
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

TEST(DialogUnits, TheDialogFontFitsTheTemplateTexts) {
    // Labels have no margins of their own: their text must fit their template width.
    const QFont font = DialogFont();
    const DialogUnits units(font);
    const QFontMetrics metrics(font);
    for (const auto* dialog : {&res::MainDialogTemplate(), &res::TabPaneTemplate()}) {
        for (const res::ControlTemplate& c : dialog->controls) {
            if (c.kind == ControlKind::Static) {
                EXPECT_LE(metrics.horizontalAdvance(TemplateText(c.text)), units.ToPixelsX(c.w)) << c.text;
            }
        }
    }
}

} // namespace
} // namespace tidewell
