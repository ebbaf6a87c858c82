#pragma once

#include <QWidget>

class QTabBar;

namespace tidewell {

// A tab strip over a framed display area; the pages are separate windows that
// their owner places over DisplayArea().
class TabControl : public QWidget {
    Q_OBJECT
public:
    explicit TabControl(QWidget* parent = nullptr);

    QTabBar* TabBar() const { return tabBar_; }
    // The framed area below the tab strip, in the parent's coordinates.
    QRect DisplayArea() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QRect FrameRect() const;

    QTabBar* tabBar_;
};

} // namespace tidewell
