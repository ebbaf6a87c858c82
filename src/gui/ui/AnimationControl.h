#pragma once

#include <QTimer>
#include <QWidget>

namespace tidewell {

// The small transfer animation: a page travelling between two folders while a
// run is in progress, the first frame while it is not.
class AnimationControl : public QWidget {
    Q_OBJECT
public:
    explicit AnimationControl(QWidget* parent = nullptr);

    // Loads an animation resource; false for an id that names none.
    bool Open(int resourceId);
    void Play();
    void Stop();
    bool IsPlaying() const { return timer_.isActive(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    static constexpr int kFrameCount = 8;

    QTimer timer_;
    int frame_ = 0;
    bool open_ = false;
};

} // namespace tidewell
