#pragma once

#include <QObject>

class QWidget;

namespace tidewell {

// Switches all tooltips of one window on and off: while off, it swallows the
// tool-tip events of the window's widgets before they reach them.
class TooltipSwitch : public QObject {
    Q_OBJECT
public:
    explicit TooltipSwitch(QWidget* window);

    void SetEnabled(bool enabled);
    bool IsEnabled() const { return enabled_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
    bool enabled_ = true;
};

} // namespace tidewell
