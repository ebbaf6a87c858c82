// What the main window shows before anything is done, beyond the enabled
// states of the state table (MainDialogStateTest): texts that fit their
// places, the transfer fields at rest, masked passwords, the tooltips, the
// site tabs and the list's columns.
#include "gui/app/MainDialog.h"
#include "gui/profiles/TabPane.h"
#include "gui/remote/ListViewControl.h"
#include "gui/remote/RemoteListModel.h"
#include "gui/ui/DialogUnits.h"
#include "gui/ui/TabControl.h"
#include "resources/ResourceIds.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTreeView>
#include <gtest/gtest.h>

namespace tidewell {
namespace {

class MainDialogTemplateTest : public ::testing::Test {
protected:
    MainDialog dialog{{}};
};

// Labels have no margins of their own: the dialog font must fit each text into
// the width its template gave it, or the text is cut off.
TEST_F(MainDialogTemplateTest, EveryLabelsTextFitsItsPlace) {
    const QList<QLabel*> labels = dialog.findChildren<QLabel*>();
    EXPECT_GE(labels.size(), 20);
    for (const QLabel* label : labels) {
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width())
            << label->text().toStdString();
    }
}

TEST_F(MainDialogTemplateTest, TransferFieldsStartAtRestAndPasswordsAreMasked) {
    const std::pair<int, QString> resting[] = {
        {res::IDC_FILE_NAME, ""},           {res::IDC_SESSION_PERCENT, "0%"},
        {res::IDC_FILE_PERCENT, "0%"},      {res::IDC_BYTES, "of 0 Bytes"},
        {res::IDC_THROUGHPUT, "0 KB/sec."}, {res::IDC_TIME_REMAINING, "0 Sec(s)."},
    };
    for (const auto& [id, text] : resting) {
        EXPECT_EQ(dialog.ControlAs<QLineEdit>(id)->text(), text) << id;
        EXPECT_TRUE(dialog.ControlAs<QLineEdit>(id)->isReadOnly()) << id;
    }
    for (std::size_t i = 0; i < kSiteCount; ++i) {
        EXPECT_EQ(dialog.Pane(i)->PasswordEdit()->echoMode(), QLineEdit::Password) << i;
    }
    EXPECT_FALSE(dialog.ControlAs<QPushButton>(res::IDC_UP)->icon().isNull());
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
    const QString columns[] = {"File", "Size", "Type", "Date"};
    ASSERT_EQ(model->columnCount(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(model->headerData(i, Qt::Horizontal, Qt::DisplayRole).toString(), columns[i]);
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
    const int letters = metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    EXPECT_LE(std::abs(fromFont.AverageCharWidth() * 52 - letters), 26);
}

} // namespace
} // namespace tidewell
