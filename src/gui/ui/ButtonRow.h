#pragma once

#include <initializer_list>

class QHBoxLayout;
class QPushButton;

namespace tidewell {

// The button row of a tool window: `left` from the left edge, `right` at the
// right edge. None is a default button, so Enter in the window presses none.
QHBoxLayout* ButtonRow(std::initializer_list<QPushButton*> left, QPushButton* right);

} // namespace tidewell
