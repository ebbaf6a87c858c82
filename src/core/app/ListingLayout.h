#pragma once

#include <QRect>
#include <QSize>

namespace tidewell {

// The Directory Listing area's places as built, in the client area's coordinates.
struct ListingTemplate {
    QSize client;
    QRect up, deleteButton, newDir, details;
    QRect list, group;
    QRect fileCount, totalSize, dirCount;
    // Everything else the client area holds; none of it moves.
    QRect fixedArea;
};

// Where the listing's controls go for one client size, and which are shown.
struct ListingPlacement {
    QRect up, deleteButton, newDir, details;
    QRect list, group;
    bool buttonsShown = true; // Up, Delete and New Dir together
    bool detailsShown = true;
    bool fileCountShown = true;
    bool totalSizeShown = true;
    bool dirCountShown = true;
};

// The rules by which the listing follows the window: the list and its group box
// grow and shrink with the client area, the three buttons keep their distance
// from its bottom-right corner, Details from its bottom edge only, and whatever
// would collide when the window gets small is hidden instead.
class ListingLayout {
public:
    explicit ListingLayout(const ListingTemplate& places) : places_(places) {}

    ListingPlacement Place(QSize client) const;
    // The smallest client area that shows every control and all of the fixed
    // area, with the margin the built window has below its lowest control.
    QSize MinimumClient() const;

private:
    ListingTemplate places_;
};

} // namespace tidewell
