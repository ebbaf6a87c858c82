#include "gui/ui/AnimationControl.h"

#include "resources/ResourceIds.h"

#include <QPainter>

namespace tidewell {

AnimationControl::AnimationControl(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
    timer_.setInterval(120);
    connect(&timer_, &QTimer::timeout, this, [this] {
        frame_ = (frame_ + 1) % kFrameCount;
        update();
    });
}

bool AnimationControl::Open(int resourceId) {
    open_ = resourceId == res::IDR_TRANSFER_ANIMATION;
    frame_ = 0;
    update();
    return open_;
}

void AnimationControl::Play() {
    if (open_) {
        timer_.start();
    }
}

void AnimationControl::Stop() {
    timer_.stop();
    frame_ = 0;
    update();
}

void AnimationControl::paintEvent(QPaintEvent*) {
    if (!open_) {
        return;
    }
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal folderW = r.width() * 0.28;
    const qreal folderH = r.height() * 0.7;
    const qreal top = r.top() + (r.height() - folderH) / 2;
    p.setPen(QColor(0x9a, 0x7b, 0x1c));
    p.setBrush(QColor(0xf2, 0xc9, 0x4c));
    p.drawRect(QRectF(r.left(), top, folderW, folderH));
    p.drawRect(QRectF(r.right() - folderW, top, folderW, folderH));
    // The page travels from the left folder to the right one.
    const qreal span = r.width() - 2 * folderW;
    const qreal pageW = qMax<qreal>(2, span * 0.3);
    const qreal x = r.left() + folderW + (span - pageW) * frame_ / (kFrameCount - 1);
    p.setPen(QColor(0x55, 0x55, 0x55));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(x, r.top() + r.height() * 0.2, pageW, r.height() * 0.6));
}

} // namespace tidewell
