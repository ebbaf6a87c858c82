#include "gui/transfer/ConnectionCountMenu.h"

#include <QActionGroup>

#include <algorithm>

namespace tidewell {

ConnectionCountMenu::ConnectionCountMenu(int most, QWidget* parent)
    : QMenu(QStringLiteral("Parallel &Connections"), parent), group_(new QActionGroup(this)) {
    for (int count = 1; count <= most; ++count) {
        QAction* action = addAction(QString::number(count));
        action->setCheckable(true);
        group_->addAction(action);
        connect(action, &QAction::triggered, this, [this, count] { count_ = count; });
    }
}

void ConnectionCountMenu::SetCount(int count) {
    const QList<QAction*> choices = group_->actions();
    count_ = std::clamp(count, 1, static_cast<int>(choices.size()));
    choices[count_ - 1]->setChecked(true);
}

} // namespace tidewell
