#include "gui/ui/TooltipSwitch.h"

#include <QApplication>
#include <QEvent>
#include <QToolTip>
#include <QWidget>

namespace tidewell {

TooltipSwitch::TooltipSwitch(QWidget* window) : QObject(window), window_(window) {
    // Removed from the application again when this object goes with its window.
    qApp->installEventFilter(this);
}

void TooltipSwitch::SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (!enabled_ && QToolTip::isVisible()) {
        QToolTip::hideText();
    }
}

bool TooltipSwitch::eventFilter(QObject* watched, QEvent* event) {
    if (!enabled_ && event->type() == QEvent::ToolTip && watched->isWidgetType()) {
        return static_cast<QWidget*>(watched)->window() == window_;
    }
    return false;
}

} // namespace tidewell
