#include "gui/profiles/TabPane.h"

#include "gui/ui/TemplateBuilder.h"
#include "resources/DialogTemplate.h"
#include "resources/ResourceIds.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace tidewell {
namespace {

QString ToQString(const std::string& text) {
    return QString::fromStdString(text);
}
std::string ToUtf8(const QString& text) {
    return text.toStdString();
}

} // namespace

TabPane::TabPane(QWidget* parent) : QWidget(parent) {
    const res::DialogTemplate& pane = res::TabPaneTemplate();
    const DialogUnits units(font());
    resize(units.ToPixelsX(pane.width), units.ToPixelsY(pane.height));
    for (const auto& [id, widget] : BuildTemplateControls(pane, this, units)) {
        fields_[id] = qobject_cast<QLineEdit*>(widget);
    }
    // The pane stands for its first field when it is given the focus.
    setFocusProxy(AddressEdit());

    for (QLineEdit* edit : {AddressEdit(), UsernameEdit(), DirectoryEdit()}) {
        connect(edit, &QLineEdit::textChanged, this, &TabPane::Edited);
    }
    connect(PasswordEdit(), &QLineEdit::textChanged, this, &TabPane::PasswordEdited);
}

QLineEdit* TabPane::Field(int id) const {
    const auto it = fields_.find(id);
    return it == fields_.end() ? nullptr : it->second;
}

QLineEdit* TabPane::AddressEdit() const {
    return Field(res::IDC_ADDRESS);
}
QLineEdit* TabPane::UsernameEdit() const {
    return Field(res::IDC_USERNAME);
}
QLineEdit* TabPane::PasswordEdit() const {
    return Field(res::IDC_PASSWORD);
}
QLineEdit* TabPane::DirectoryEdit() const {
    return Field(res::IDC_DIRECTORY);
}

SiteProfile TabPane::Fields() const {
    return {ToUtf8(AddressEdit()->text()), ToUtf8(UsernameEdit()->text()), ToUtf8(PasswordEdit()->text()),
            ToUtf8(DirectoryEdit()->text())};
}

void TabPane::ShowProfile(const SiteProfile& profile) {
    AddressEdit()->setText(ToQString(profile.address));
    UsernameEdit()->setText(ToQString(profile.username));
    PasswordEdit()->setText(ToQString(profile.password));
    DirectoryEdit()->setText(ToQString(profile.directory));
}

void TabPane::SetReadOnly(bool readOnly) {
    for (const auto& [id, edit] : fields_) {
        edit->setReadOnly(readOnly);
    }
}

void TabPane::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->accept();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

} // namespace tidewell
