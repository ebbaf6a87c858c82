#include "gui/ui/TemplateBuilder.h"

#include "gui/remote/ListViewControl.h"
#include "gui/ui/AnimationControl.h"
#include "gui/ui/TabControl.h"
#include "resources/ResourceIds.h"
#include "resources/Resources.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

namespace tidewell {
namespace {

using res::ControlKind;

QPushButton* MakeButton(const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    // Enter is the dialog's to route (see MainDialog::keyPressEvent), never a default button's.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

QLineEdit* MakeEdit(const res::ControlTemplate& c, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setReadOnly(c.style & res::kReadOnly);
    if (c.style & res::kNoBorder) {
        // A borderless read-only field reads like a label on the window background.
        edit->setFrame(false);
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, Qt::transparent);
        edit->setPalette(palette);
        edit->setFocusPolicy(Qt::ClickFocus);
    }
    if (c.style & res::kPassword) {
        edit->setEchoMode(QLineEdit::Password);
    }
    return edit;
}

QWidget* MakeWidget(const res::ControlTemplate& c, QWidget* parent, const QRect& rect) {
    const QString text = TemplateText(c.text);
    switch (c.kind) {
    case ControlKind::Icon: {
        auto* label = new QLabel(parent);
        const int side = qMin(rect.width(), rect.height());
        label->setPixmap(res::LoadIcon(c.resource).pixmap(side, side));
        label->setAlignment(Qt::AlignCenter);
        return label;
    }
    case ControlKind::PushButton:
        return MakeButton(text, parent);
    case ControlKind::IconButton: {
        auto* button = MakeButton(QString(), parent);
        button->setIcon(res::LoadIcon(c.resource));
        const int side = qMax(8, qMin(rect.width(), rect.height()) - 6);
        button->setIconSize(QSize(side, side));
        return button;
    }
    case ControlKind::CheckButton: {
        auto* button = MakeButton(text, parent);
        button->setCheckable(true);
        return button;
    }
    case ControlKind::GroupBox:
        return new QGroupBox(text, parent);
    case ControlKind::Static: {
        auto* label = new QLabel(text, parent);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        return label;
    }
    case ControlKind::Edit:
        return MakeEdit(c, parent);
    case ControlKind::TabControl:
        return new TabControl(parent);
    case ControlKind::ListView:
        return new ListViewControl(parent);
    case ControlKind::ProgressBar: {
        auto* bar = new QProgressBar(parent);
        bar->setTextVisible(false);
        bar->setRange(0, 100);
        bar->setValue(0);
        return bar;
    }
    case ControlKind::Animation: {
        auto* animation = new AnimationControl(parent);
        animation->Open(c.resource);
        return animation;
    }
    }
    return new QWidget(parent);
}

} // namespace

QWidget* BuildTemplateControl(const res::ControlTemplate& c, QWidget* parent, const DialogUnits& units) {
    const QRect rect = units.ToPixels(c.x, c.y, c.w, c.h);
    QWidget* widget = MakeWidget(c, parent, rect);
    widget->setGeometry(rect);
    widget->setEnabled(!(c.style & res::kDisabled));
    widget->setProperty("controlId", c.id);
    if (c.id != res::IDC_STATIC) {
        widget->setObjectName(QStringLiteral("control%1").arg(c.id));
    }
    return widget;
}

std::map<int, QWidget*> BuildTemplateControls(const res::DialogTemplate& dialog, QWidget* parent,
                                              const DialogUnits& units) {
    std::map<int, QWidget*> controls;
    for (const res::ControlTemplate& c : dialog.controls) {
        QWidget* widget = BuildTemplateControl(c, parent, units);
        if (c.id != res::IDC_STATIC) {
            controls[c.id] = widget;
        }
    }
    return controls;
}

} // namespace tidewell
