#include "gui/ui/AboutDialog.h"

#include "gui/ui/LinkLabel.h"
#include "gui/ui/TemplateBuilder.h"
#include "resources/DialogTemplate.h"
#include "resources/ResourceIds.h"
#include "resources/Resources.h"

#include <QPushButton>

namespace tidewell {
namespace {

AboutBoxHook& CurrentHook() {
    static AboutBoxHook hook = [](AboutDialog& dialog) { dialog.exec(); };
    return hook;
}

} // namespace

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(DialogFont());
    setWindowIcon(res::LoadIcon(res::IDI_APP));
    const res::DialogTemplate& dialog = res::AboutDialogTemplate();
    setWindowTitle(TemplateText(dialog.caption));
    const DialogUnits units(font());
    setFixedSize(units.ToPixelsX(dialog.width), units.ToPixelsY(dialog.height));
    for (const res::ControlTemplate& control : dialog.controls) {
        if (control.id != res::IDC_ABOUT_LINK) {
            QWidget* widget = BuildTemplateControl(control, this, units);
            if (control.id == res::IDOK) {
                ok_ = qobject_cast<QPushButton*>(widget);
            }
            continue;
        }
        // The link line: a static text of the template, attached as a link
        // whose address was set before it was attached.
        link_ = new LinkLabel(this);
        link_->SetUrl(QString::fromLatin1(kProductUrl));
        link_->setText(TemplateText(control.text));
        link_->setGeometry(units.ToPixels(control.x, control.y, control.w, control.h));
        link_->setProperty("controlId", control.id);
        link_->setObjectName(QStringLiteral("control%1").arg(control.id));
        link_->Attach();
    }
    ok_->setAutoDefault(true);
    ok_->setDefault(true);
    ok_->setFocus();
    connect(ok_, &QPushButton::clicked, this, &AboutDialog::accept);
}

void ShowAboutBox(QWidget* parent) {
    AboutDialog dialog(parent);
    CurrentHook()(dialog);
}

ScopedAboutBoxHook::ScopedAboutBoxHook(AboutBoxHook hook) : ScopedHook(CurrentHook(), std::move(hook)) {}

} // namespace tidewell
