#pragma once

#include <QMenu>

class QActionGroup;

namespace tidewell {

// "Parallel Connections": how many connections a transfer may use at once,
// one choice of 1 to the most allowed.
class ConnectionCountMenu : public QMenu {
    Q_OBJECT
public:
    ConnectionCountMenu(int most, QWidget* parent);

    int Count() const { return count_; }
    void SetCount(int count);

private:
    QActionGroup* group_;
    int count_ = 1;
};

} // namespace tidewell
