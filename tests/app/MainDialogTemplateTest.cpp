// The main window is built from its template, menu and tooltip tables: every
// control in its place, with its kind, text and first enabled state.
#include "app/MainDialog.h"
#include "profiles/TabPane.h"
#include "resources/DialogTemplate.h"
#include "resources/ResourceIds.h"
#include "ui/AnimationControl.h"
#include "ui/DialogUnits.h"
#include "ui/ListViewControl.h"
#include "ui/RemoteListModel.h"
#include "ui/TabControl.h"
#include "ui/TemplateBuilder.h"

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

namespace tidewell {
namespace {

using res::ControlKind;

std::string Describe(const res::ControlTemplate& c) {
    return "control " + std::to_string(c.id) + " \"" + std::string(c.text) + "\"";
}

// The text the built control shows, or std::nullopt for kinds without one.
std::optional<QString> ShownText(QWidget* widget, ControlKind kind) {
    switch (kind) {
    case ControlKind::PushButton:
    case ControlKind::CheckButton:
    case ControlKind::IconButton:
        return qobject_cast<QPushButton*>(widget)->text();
    case ControlKind::Static:
        return qobject_cast<QLabel*>(widget)->text();
    case ControlKind::GroupBox:
        return qobject_cast<QGroupBox*>(widget)->title();
    case ControlKind::Edit:
        return qobject_cast<QLineEdit*>(widget)->text();
    default:
        return std::nullopt;
    }
}

bool IsKind(QWidget* widget, ControlKind kind) {
    switch (kind) {
    case ControlKind::Icon:
        return qobject_cast<QLabel*>(widget) && !qobject_cast<QLabel*>(widget)->pixmap().isNull();
    case ControlKind::PushButton:
        return qobject_cast<QPushButton*>(widget) && !qobject_cast<QPushButton*>(widget)->isCheckable();
    case ControlKind::IconButton:
        return qobject_cast<QPushButton*>(widget) && !qobject_cast<QPushButton*>(widget)->icon().isNull();
    case ControlKind::CheckButton:
        return qobject_cast<QPushButton*>(widget) && qobject_cast<QPushButton*>(widget)->isCheckable();
    case ControlKind::GroupBox:
        return qobject_cast<QGroupBox*>(widget) != nullptr;
    case ControlKind::Static:
        return qobject_cast<QLabel*>(widget) != nullptr;
    case ControlKind::Edit:
        return qobject_cast<QLineEdit*>(widget) != nullptr;
    case ControlKind::TabControl:
        return qobject_cast<TabControl*>(widget) != nullptr;
    case ControlKind::ListView:
        return qobject_cast<ListViewControl*>(widget) != nullptr;
    case ControlKind::ProgressBar:
        return qobject_cast<QProgressBar*>(widget) != nullptr;
    case ControlKind::Animation:
        return qobject_cast<AnimationControl*>(widget) != nullptr;
    }
    return false;
}

class MainDialogTemplateTest : public ::testing::Test {
protected:
    MainDialog dialog{{}};
    DialogUnits units{dialog.font()};
};

TEST_F(MainDialogTemplateTest, EveryControlWithAnIdIsBuiltAtItsTemplatePlace) {
    // The transfer fields get their resting texts during start-up.
    const std::map<int, QString> restingTexts = {
        {res::IDC_FILE_PERCENT, "0%"},          {res::IDC_BYTES, "of 0 Bytes"},
        {res::IDC_SESSION_PERCENT, "0%"},       {res::IDC_THROUGHPUT, "0 KB/sec."},
        {res::IDC_TIME_REMAINING, "0 Sec(s)."},
    };
    int withId = 0;
    for (const res::ControlTemplate& c : res::MainDialogTemplate().controls) {
        if (c.id == res::IDC_STATIC) {
            continue;
        }
        ++withId;
        SCOPED_TRACE(Describe(c));
        QWidget* widget = dialog.Control(c.id);
        ASSERT_NE(widget, nullptr);
        EXPECT_TRUE(IsKind(widget, c.kind));
        EXPECT_EQ(widget->geometry(), units.ToPixels(c.x, c.y, c.w, c.h));
        EXPECT_EQ(widget->isEnabled(), !(c.style & res::kDisabled));
        if (auto text = ShownText(widget, c.kind)) {
            const auto resting = restingTexts.find(c.id);
            EXPECT_EQ(*text, resting == restingTexts.end() ? TemplateText(c.text) : resting->second);
        }
        if (c.kind == ControlKind::Edit) {
            auto* edit = qobject_cast<QLineEdit*>(widget);
            EXPECT_EQ(edit->isReadOnly(), bool(c.style & res::kReadOnly));
            EXPECT_EQ(edit->hasFrame(), !(c.style & res::kNoBorder));
        }
    }
    EXPECT_EQ(withId, 28);
    EXPECT_EQ(dialog.Control(12345), nullptr);
}

TEST_F(MainDialogTemplateTest, ControlsWithoutAnIdAreBuiltToo) {
    std::vector<QString> expected;
    for (const res::ControlTemplate& c : res::MainDialogTemplate().controls) {
        if (c.id == res::IDC_STATIC && c.kind != ControlKind::Icon) {
            expected.push_back(TemplateText(c.text));
        }
    }
    std::vector<QString> built;
    for (QWidget* widget : dialog.findChildren<QWidget*>()) {
        if (widget->property("controlId").toInt() != res::IDC_STATIC ||
            !widget->property("controlId").isValid()) {
            continue;
        }
        if (auto* label = qobject_cast<QLabel*>(widget);
            label && label->pixmap().isNull() && !qobject_cast<TabPane*>(label->parentWidget())) {
            built.push_back(label->text());
        } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
            built.push_back(group->title());
        }
    }
    std::sort(expected.begin(), expected.end());
    std::sort(built.begin(), built.end());
    EXPECT_EQ(built, expected);
}

TEST_F(MainDialogTemplateTest, MenuFollowsItsTable) {
    const QList<QAction*> menus = dialog.MenuBar()->actions();
    ASSERT_EQ(menus.size(), 2);
    EXPECT_EQ(menus[0]->text(), "&File");
    EXPECT_EQ(menus[1]->text(), "&Help");

    std::vector<QAction*> items;
    for (QAction* menu : menus) {
        for (QAction* item : menu->menu()->actions()) {
            items.push_back(item);
        }
    }
    const auto table = res::MainMenuTemplate();
    ASSERT_EQ(items.size(), table.size());
    for (std::size_t i = 0; i < table.size(); ++i) {
        SCOPED_TRACE("menu item " + std::to_string(i) + " " + std::string(table[i].text));
        if (table[i].id == 0) {
            EXPECT_TRUE(items[i]->isSeparator());
            continue;
        }
        EXPECT_EQ(items[i], dialog.MenuAction(table[i].id));
        EXPECT_EQ(items[i]->text(), TemplateText(table[i].text));
        EXPECT_EQ(items[i]->isCheckable(), table[i].checkable);
        EXPECT_EQ(items[i]->isChecked(), table[i].checked);
        EXPECT_TRUE(items[i]->isEnabled());
    }
    // The two toggles start checked, from the defaults.
    EXPECT_TRUE(dialog.MenuAction(res::ID_HELP_TOOLTIPS)->isChecked());
    EXPECT_TRUE(dialog.MenuAction(res::ID_FILE_SAVE_PASSWORDS)->isChecked());
}

TEST_F(MainDialogTemplateTest, TooltipsShowASingleAmpersand) {
    EXPECT_EQ(dialog.Control(res::IDC_VIEW_LOCAL_DISK)->toolTip(),
              "Select Files To Upload Via Drag & Drop Onto This Window");
    EXPECT_EQ(dialog.Control(res::IDC_REMOTE_LIST)->toolTip(), "Drag & Drop Local Files To Upload");
    EXPECT_EQ(dialog.Control(res::IDC_UP)->toolTip(), "Move Up One Directory Level");
    EXPECT_EQ(dialog.Control(res::IDC_LOGIN)->toolTip(), "(Re)Connect To The Remote Server");
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
    EXPECT_EQ(dialog.settingsPath, defaultPath);
    EXPECT_EQ(dialog.windowTitle(), "Tidewell - [" + defaultPath + "]");
    EXPECT_FALSE(dialog.AnySiteModified());
    EXPECT_TRUE(dialog.idle);
    EXPECT_FALSE(dialog.connected);
    EXPECT_EQ(dialog.sortOrder.sortColumn, -1);

    QTabBar* tabs = dialog.SiteTabBar();
    ASSERT_EQ(tabs->count(), MainDialog::kSiteCount);
    for (int i = 0; i < tabs->count(); ++i) {
        EXPECT_EQ(tabs->tabText(i), QString("Site %1").arg(i + 1));
    }
    EXPECT_EQ(tabs->currentIndex(), 0);

    const QRect display = dialog.SiteTabs()->DisplayArea();
    for (int i = 0; i < MainDialog::kSiteCount; ++i) {
        TabPane* pane = dialog.Pane(i);
        EXPECT_EQ(pane->Owner(), &dialog);
        EXPECT_EQ(pane->isVisibleTo(&dialog), i == 0) << i;
        EXPECT_TRUE(display.contains(pane->geometry())) << i;
    }
    EXPECT_EQ(dialog.currentPane, dialog.Pane(0));

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
    EXPECT_EQ(dialog.listImages.size(), 2u);
    EXPECT_FALSE(qobject_cast<QPushButton*>(dialog.Control(res::IDC_UP))->icon().isNull());
    EXPECT_FALSE(dialog.windowIcon().isNull());
}

TEST(MainDialogStartUp, KeepsTheCommandWords) {
    MainDialog dialog({"/tmp/a.txt", "b"});
    EXPECT_EQ(dialog.commandWords, (std::vector<std::string>{"/tmp/a.txt", "b"}));
}

TEST(MainDialogStartUp, SiteFieldsAreBuiltFromThePaneTemplate) {
    MainDialog dialog({});
    TabPane* pane = dialog.Pane(3);
    const DialogUnits units(pane->font());
    EXPECT_EQ(pane->size(), QSize(units.ToPixelsX(193), units.ToPixelsY(100)));
    for (const res::ControlTemplate& c : res::TabPaneTemplate().controls) {
        if (c.id == res::IDC_STATIC) {
            continue;
        }
        SCOPED_TRACE(Describe(c));
        QLineEdit* edit = pane->Field(c.id);
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->geometry(), units.ToPixels(c.x, c.y, c.w, c.h));
        EXPECT_EQ(edit->echoMode(), c.id == res::IDC_PASSWORD ? QLineEdit::Password : QLineEdit::Normal);
    }
    QStringList labels;
    for (QLabel* label : pane->findChildren<QLabel*>()) {
        labels << label->text();
    }
    labels.sort();
    EXPECT_EQ(labels, (QStringList{"Directory", "FTP Address", "Password", "Username"}));
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
