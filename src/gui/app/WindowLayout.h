#pragma once

#include "core/app/ListingLayout.h"

#include <functional>
#include <optional>

class QWidget;

namespace tidewell {

// The window side of the listing layout: takes the controls' places once, when
// the window is built, and puts the controls where the rules say on each resize.
class WindowLayout {
public:
    // client: the area the controls sit in; control: a control by template id.
    WindowLayout(QWidget& client, std::function<QWidget*(int)> control);

    // Takes the places as built; the client area has its built size by now.
    void Record();
    // Lays the listing out for the client area's current size.
    void Apply();
    // The smallest client area at which nothing is hidden or cut off; empty before Record.
    QSize MinimumClient() const;

private:
    QWidget& client_;
    std::function<QWidget*(int)> control_;
    std::optional<ListingLayout> rules_;
};

} // namespace tidewell
