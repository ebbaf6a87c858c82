// The overwrite question and the completion notice: keys, texts, window flags,
// and the hook through which tests answer them.
#include "gui/transfer/TransferDialogs.h"
#include "gui/transfer/CompletionDialog.h"
#include "gui/transfer/OverwriteDialog.h"
#include "resources/ResourceIds.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace tidewell {

void PrintTo(OverwriteAnswer answer, std::ostream* out) {
    constexpr const char* kNames[] = {"Yes", "No", "YesToAll", "Cancel"};
    *out << kNames[static_cast<int>(answer)];
}

namespace {

using namespace res;

const OverwriteQuestion kQuestion{"/home/ann/notes.txt", "1.2 KB, modified on, 01/02/24 10:00:00",
                                  "2.5 KB, modified on, 03/04/24 11:30:00"};

// Where a real key press goes: the focused control, else the dialog.
QWidget* KeyTarget(QDialog& dialog) {
    return dialog.focusWidget() != nullptr ? dialog.focusWidget() : &dialog;
}

QStringList LabelTexts(const QWidget& dialog) {
    QStringList texts;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        texts << label->text();
    }
    return texts;
}

TEST(OverwriteDialog, EachKeyAndButtonEndsItWithItsAnswer) {
    struct Row {
        Qt::Key key; // Qt::Key_unknown: click the button instead
        int button;
        OverwriteAnswer answer;
    };
    // Enter is Qt's to route: it presses the default button, Yes (see ShowsItsTextsWithoutACloseBox).
    const Row rows[] = {
        {Qt::Key_Escape, 0, OverwriteAnswer::Cancel},
        {Qt::Key_unknown, IDC_OVERWRITE_YES, OverwriteAnswer::Yes},
        {Qt::Key_unknown, IDC_OVERWRITE_NO, OverwriteAnswer::No},
        {Qt::Key_unknown, IDC_OVERWRITE_YES_TO_ALL, OverwriteAnswer::YesToAll},
        {Qt::Key_unknown, IDC_OVERWRITE_CANCEL, OverwriteAnswer::Cancel},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.key == Qt::Key_unknown ? QString::number(row.button).toStdString()
                                                : QTest::toString(QKeySequence(row.key)));
        OverwriteDialog dialog;
        dialog.SetTexts(kQuestion);
        QTimer::singleShot(0, &dialog, [&] {
            if (row.key == Qt::Key_unknown) {
                dialog.Button(row.button)->click();
            } else {
                QTest::keyClick(KeyTarget(dialog), row.key);
            }
        });
        EXPECT_EQ(dialog.Ask(), row.answer);
    }
    // A dialog that never came up has no answer but No.
    EXPECT_EQ(OverwriteDialog().ChosenAnswer(), OverwriteAnswer::No);
}

TEST(OverwriteDialog, ShowsItsTextsWithoutACloseBox) {
    OverwriteDialog dialog;
    dialog.SetTexts(kQuestion);
    EXPECT_EQ(dialog.windowTitle(), "Overwrite File");
    EXPECT_FALSE(dialog.windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint));
    EXPECT_EQ(LabelTexts(dialog),
              (QStringList{"", "Overwrite the file:", "/home/ann/notes.txt",
                           "1.2 KB, modified on, 01/02/24 10:00:00", "With the version you are transferring,",
                           "2.5 KB, modified on, 03/04/24 11:30:00"}));
    EXPECT_TRUE(dialog.Line(IDC_OVERWRITE_FILE)->toolTip().isEmpty());
    EXPECT_EQ(dialog.Button(IDC_OVERWRITE_YES)->text(), "&Yes");
    EXPECT_EQ(dialog.Button(IDC_OVERWRITE_NO)->text(), "&No");
    EXPECT_EQ(dialog.Button(IDC_OVERWRITE_YES_TO_ALL)->text(), "Yes To &All");
    EXPECT_EQ(dialog.Button(IDC_OVERWRITE_CANCEL)->text(), "&Cancel");
    EXPECT_TRUE(dialog.Button(IDC_OVERWRITE_YES)->isDefault());
}

TEST(OverwriteDialog, APathTooLongForItsLineIsShortenedInTheMiddleAndWholeInTheTooltip) {
    const QString path = "/home/ann/" + QString("deeply/nested/").repeated(20) + "notes.txt";
    OverwriteDialog dialog;
    dialog.SetTexts({path.toStdString(), "", ""});
    const QLabel* line = dialog.Line(IDC_OVERWRITE_FILE);
    EXPECT_TRUE(line->text().startsWith("/home/ann/"));
    EXPECT_TRUE(line->text().endsWith("notes.txt"));
    EXPECT_LE(line->fontMetrics().horizontalAdvance(line->text()), line->width());
    EXPECT_EQ(line->toolTip(), path);
}

TEST(CompletionDialog, SaysTheRunIsCompleteOnTop) {
    QWidget owner;
    CompletionDialog dialog(&owner);
    EXPECT_EQ(dialog.windowTitle(), "Transfer Information");
    EXPECT_TRUE(LabelTexts(dialog).contains("FTP File Transfer Complete"));
    EXPECT_EQ(dialog.OkButton()->text(), "OK");
    EXPECT_TRUE(dialog.OkButton()->isDefault());
    EXPECT_TRUE(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
}

} // namespace
} // namespace tidewell
