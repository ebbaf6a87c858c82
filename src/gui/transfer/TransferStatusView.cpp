#include "gui/transfer/TransferStatusView.h"

#include "gui/ui/AnimationControl.h"
#include "resources/ResourceIds.h"

#include <QLineEdit>
#include <QProgressBar>

namespace tidewell {

using namespace res;

TransferStatusView::TransferStatusView(std::function<QWidget*(int)> control, QObject* parent)
    : QObject(parent), control_(std::move(control)) {
    timer_.setSingleShot(true);
    timer_.setInterval(kIntervalMs);
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (pending_) {
            Paint();
        }
    });
}

void TransferStatusView::Show(const TransferDisplay& display) {
    latest_ = display;
    pending_ = true;
    // The first update of a quiet spell shows at once; the rest wait for the timer.
    if (!timer_.isActive()) {
        Paint();
    }
}

void TransferStatusView::ShowIdle() {
    TransferDisplay idle;
    idle.sessionMaximum = latest_.sessionMaximum;
    idle.fileMaximum = latest_.fileMaximum;
    Show(idle);
}

void TransferStatusView::Flush() {
    if (pending_) {
        Paint();
    }
}

void TransferStatusView::Paint() {
    pending_ = false;
    timer_.start();
    if (latest_ == shown_) {
        return;
    }
    ++repaints_;
    const auto text = [this](int id, const std::string& value) {
        auto* edit = qobject_cast<QLineEdit*>(control_(id));
        const QString shown = QString::fromStdString(value);
        if (edit->text() != shown) {
            edit->setText(shown);
        }
    };
    const auto bar = [this](int id, int maximum, int position) {
        auto* progress = qobject_cast<QProgressBar*>(control_(id));
        // An empty range would make Qt show a busy bar; an empty file or run shows an empty bar.
        progress->setRange(0, maximum > 0 ? maximum : 1);
        progress->setValue(position);
    };
    text(IDC_FILE_NAME, latest_.fileName);
    bar(IDC_SESSION_PROGRESS, latest_.sessionMaximum, latest_.sessionPosition);
    text(IDC_SESSION_PERCENT, latest_.sessionPercent);
    bar(IDC_FILE_PROGRESS, latest_.fileMaximum, latest_.filePosition);
    text(IDC_FILE_PERCENT, latest_.filePercent);
    text(IDC_BYTES, latest_.bytes);
    text(IDC_THROUGHPUT, latest_.throughput);
    text(IDC_TIME_REMAINING, latest_.timeRemaining);
    auto* animation = qobject_cast<AnimationControl*>(control_(IDC_ANIMATION));
    if (latest_.animating && !animation->IsPlaying()) {
        animation->Play();
    } else if (!latest_.animating && animation->IsPlaying()) {
        animation->Stop();
    }
    shown_ = latest_;
}

} // namespace tidewell
