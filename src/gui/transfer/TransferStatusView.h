#pragma once

#include "core/app/TransferTypes.h"

#include <QObject>
#include <QTimer>

#include <functional>

class QWidget;

namespace tidewell {

// The Transfer Status group as a run sees it: shows the latest display it was
// given, repainting at most about 30 times a second, so that a fast run never
// floods the window; the last values always show.
class TransferStatusView : public QObject {
    Q_OBJECT
public:
    // control: the window's control of a template id.
    TransferStatusView(std::function<QWidget*(int)> control, QObject* parent = nullptr);

    void Show(const TransferDisplay& display);
    // Shows what is still waiting for the timer: before a question or a notice
    // holds the run, the user sees where it stands.
    void Flush();
    // Back to the idle texts after a run's end was said; the bars keep their
    // ranges, as a bar does between runs.
    void ShowIdle();
    // How often the controls were written (for the benchmark and tests).
    int Repaints() const { return repaints_; }

private:
    void Paint();

    // 25 repaints a second at most, so that the forced ones (the first, before a
    // question or the notice, the reset after it) keep the total under 30.
    static constexpr int kIntervalMs = 40;

    std::function<QWidget*(int)> control_;
    TransferDisplay latest_;
    TransferDisplay shown_;
    bool pending_ = false;
    int repaints_ = 0;
    QTimer timer_;
};

} // namespace tidewell
