#include "gui/ui/TabControl.h"

#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>

namespace tidewell {
namespace {

// Narrower tab margins than the desktop style's, like the classic tab control,
// so that the seven site tabs fit the strip side by side.
class CompactTabStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        if (metric == PM_TabBarTabHSpace && widget != nullptr) {
            return widget->fontMetrics().averageCharWidth() * 2;
        }
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

} // namespace

TabControl::TabControl(QWidget* parent) : QWidget(parent), tabBar_(new QTabBar(this)) {
    auto* style = new CompactTabStyle;
    style->setParent(tabBar_);
    tabBar_->setStyle(style);
    tabBar_->setDrawBase(false);
    tabBar_->setExpanding(false);
    tabBar_->setUsesScrollButtons(true);
    tabBar_->setElideMode(Qt::ElideNone);
}

QRect TabControl::FrameRect() const {
    const int strip = tabBar_->sizeHint().height();
    return QRect(0, strip, width(), height() - strip);
}

QRect TabControl::DisplayArea() const {
    return FrameRect().translated(pos());
}

void TabControl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The strip lies a pixel into the frame so the selected tab joins it.
    tabBar_->setGeometry(0, 0, width(), tabBar_->sizeHint().height() + 1);
    tabBar_->raise();
}

void TabControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionTabWidgetFrame option;
    option.initFrom(this);
    option.rect = FrameRect();
    option.shape = QTabBar::RoundedNorth;
    option.tabBarSize = tabBar_->sizeHint();
    option.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    style()->drawPrimitive(QStyle::PE_FrameTabWidget, &option, &painter, this);
}

} // namespace tidewell
