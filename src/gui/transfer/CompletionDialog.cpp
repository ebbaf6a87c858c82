#include "gui/transfer/CompletionDialog.h"

#include "gui/ui/TemplateBuilder.h"
#include "resources/DialogTemplate.h"
#include "resources/ResourceIds.h"

#include <QPushButton>

namespace tidewell {

CompletionDialog::CompletionDialog(QWidget* parent) : QDialog(parent) {
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::WindowStaysOnTopHint);
    setFont(DialogFont());
    const res::DialogTemplate& dialog = res::CompletionDialogTemplate();
    setWindowTitle(TemplateText(dialog.caption));
    const DialogUnits units(font());
    setFixedSize(units.ToPixelsX(dialog.width), units.ToPixelsY(dialog.height));
    ok_ = qobject_cast<QPushButton*>(BuildTemplateControls(dialog, this, units).at(res::IDOK));
    ok_->setAutoDefault(true);
    ok_->setDefault(true);
    ok_->setFocus();
    connect(ok_, &QPushButton::clicked, this, &CompletionDialog::accept);
    // QDialog centres itself over its owner's window when first shown, or on the screen without one.
}

} // namespace tidewell
