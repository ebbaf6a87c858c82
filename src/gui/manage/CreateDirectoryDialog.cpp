#include "gui/manage/CreateDirectoryDialog.h"

#include "gui/ui/TemplateBuilder.h"
#include "resources/DialogTemplate.h"
#include "resources/ResourceIds.h"
#include "resources/Resources.h"

#include <QLineEdit>
#include <QPushButton>

namespace tidewell {
namespace {

CreateDirectoryDialogHook& CurrentHook() {
    static CreateDirectoryDialogHook hook = [](CreateDirectoryDialog& dialog) { dialog.exec(); };
    return hook;
}

} // namespace

CreateDirectoryDialog::CreateDirectoryDialog(QWidget* parent) : QDialog(parent) {
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(DialogFont());
    setWindowIcon(res::LoadIcon(res::IDI_APP));
    const res::DialogTemplate& dialog = res::CreateDirectoryDialogTemplate();
    setWindowTitle(TemplateText(dialog.caption));
    const DialogUnits units(font());
    setFixedSize(units.ToPixelsX(dialog.width), units.ToPixelsY(dialog.height));
    const auto controls = BuildTemplateControls(dialog, this, units);
    edit_ = qobject_cast<QLineEdit*>(controls.at(res::IDC_NEW_DIR_NAME));
    ok_ = qobject_cast<QPushButton*>(controls.at(res::IDC_NEW_DIR_OK));
    cancel_ = qobject_cast<QPushButton*>(controls.at(res::IDC_NEW_DIR_CANCEL));
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, [this] { Close(false); });
    connect(cancel_, &QPushButton::clicked, this, [this] { Close(true); });
    edit_->setFocus();
}

void CreateDirectoryDialog::Close(bool cancelled) {
    name_ = edit_->text().toStdString();
    cancelled_ = cancelled;
    if (cancelled) {
        reject();
    } else {
        accept();
    }
}

std::optional<std::string> AskDirectoryName(QWidget* parent) {
    CreateDirectoryDialog dialog(parent);
    CurrentHook()(dialog);
    if (dialog.Cancelled()) {
        return std::nullopt;
    }
    return dialog.Name();
}

ScopedCreateDirectoryDialogHook::ScopedCreateDirectoryDialogHook(CreateDirectoryDialogHook hook)
    : ScopedHook(CurrentHook(), std::move(hook)) {}

} // namespace tidewell
