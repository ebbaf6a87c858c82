#include "gui/transfer/OverwriteDialog.h"

#include "gui/ui/TemplateBuilder.h"
#include "resources/DialogTemplate.h"
#include "resources/ResourceIds.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

namespace tidewell {
namespace {

// The results the dialog ends with. 0 is also what exec() gives for a dialog
// that was never shown or went away, so that case reads as No.
enum Result { kNo = 0, kYes = 1, kYesToAll = 2, kCancel = 3 };

} // namespace

OverwriteDialog::OverwriteDialog(QWidget* parent) : QDialog(parent) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFont(DialogFont());
    const res::DialogTemplate& dialog = res::OverwriteDialogTemplate();
    setWindowTitle(TemplateText(dialog.caption));
    const DialogUnits units(font());
    setFixedSize(units.ToPixelsX(dialog.width), units.ToPixelsY(dialog.height));
    controls_ = BuildTemplateControls(dialog, this, units);

    const std::pair<int, int> results[] = {{res::IDC_OVERWRITE_YES, kYes},
                                           {res::IDC_OVERWRITE_NO, kNo},
                                           {res::IDC_OVERWRITE_YES_TO_ALL, kYesToAll}};
    for (const auto& [id, result] : results) {
        const int code = result; // the clang under clang-tidy rejects capturing a binding
        connect(Button(id), &QPushButton::clicked, this, [this, code] { done(code); });
    }
    connect(Button(res::IDC_OVERWRITE_CANCEL), &QPushButton::clicked, this, &OverwriteDialog::reject);
    // As in any question box, Enter presses the focused button, and that is Yes until the user moves.
    for (const int id : {res::IDC_OVERWRITE_YES, res::IDC_OVERWRITE_NO, res::IDC_OVERWRITE_YES_TO_ALL,
                         res::IDC_OVERWRITE_CANCEL}) {
        Button(id)->setAutoDefault(true);
    }
    Button(res::IDC_OVERWRITE_YES)->setDefault(true);
    Button(res::IDC_OVERWRITE_YES)->setFocus();
}

void OverwriteDialog::SetTexts(const OverwriteQuestion& question) {
    // A long path keeps both its ends in view; the tooltip holds all of it.
    QLabel* file = Line(res::IDC_OVERWRITE_FILE);
    const QString path = QString::fromStdString(question.fileLine);
    const QString shown = file->fontMetrics().elidedText(path, Qt::ElideMiddle, file->width());
    file->setText(shown);
    file->setToolTip(shown == path ? QString() : path);
    Line(res::IDC_OVERWRITE_EXISTING)->setText(QString::fromStdString(question.existingLine));
    Line(res::IDC_OVERWRITE_INCOMING)->setText(QString::fromStdString(question.incomingLine));
}

OverwriteAnswer OverwriteDialog::Ask() {
    exec();
    return ChosenAnswer();
}

OverwriteAnswer OverwriteDialog::ChosenAnswer() const {
    switch (result()) {
    case kYes:
        return OverwriteAnswer::Yes;
    case kYesToAll:
        return OverwriteAnswer::YesToAll;
    case kCancel:
        return OverwriteAnswer::Cancel;
    default:
        return OverwriteAnswer::No;
    }
}

QLabel* OverwriteDialog::Line(int id) const {
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : qobject_cast<QLabel*>(it->second);
}

QPushButton* OverwriteDialog::Button(int id) const {
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : qobject_cast<QPushButton*>(it->second);
}

void OverwriteDialog::reject() {
    // Escape, "&Cancel" and a close request from the window manager all end the run.
    done(kCancel);
}

} // namespace tidewell
