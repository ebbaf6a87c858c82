#include "gui/ui/ButtonRow.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace tidewell {

QHBoxLayout* ButtonRow(std::initializer_list<QPushButton*> left, QPushButton* right) {
    auto* row = new QHBoxLayout;
    for (QPushButton* button : left) {
        button->setAutoDefault(false);
        row->addWidget(button);
    }
    row->addStretch(1);
    right->setAutoDefault(false);
    row->addWidget(right);
    return row;
}

} // namespace tidewell
