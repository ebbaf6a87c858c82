#include "core/app/ListingLayout.h"

namespace tidewell {
namespace {

// Edges one past the rectangle, as the collision rules count them.
int Right(const QRect& r) {
    return r.x() + r.width();
}
int Bottom(const QRect& r) {
    return r.y() + r.height();
}

// A label stays only while it ends 4 pixels inside the group box.
bool InsideGroup(const QRect& label, const QRect& group) {
    return Right(label) <= Right(group) - 4 && Bottom(label) <= Bottom(group) - 4;
}

} // namespace

ListingPlacement ListingLayout::Place(QSize client) const {
    const int dx = client.width() - places_.client.width();
    const int dy = client.height() - places_.client.height();
    ListingPlacement p;
    p.up = places_.up.translated(dx, dy);
    p.deleteButton = places_.deleteButton.translated(dx, dy);
    p.newDir = places_.newDir.translated(dx, dy);
    p.details = places_.details.translated(0, dy);
    // A widget cannot be smaller than empty.
    p.list = QRect(places_.list.topLeft(), (places_.list.size() + QSize(dx, dy)).expandedTo(QSize(0, 0)));
    p.group = QRect(places_.group.topLeft(), (places_.group.size() + QSize(dx, dy)).expandedTo(QSize(0, 0)));

    // Judged on the new places: one resize may jump far (maximise, restore).
    const bool detailsBelowListTop = p.details.y() > p.list.y();
    p.buttonsShown = p.up.x() > Right(p.details) && detailsBelowListTop;
    p.detailsShown = Right(p.details) < Right(p.group) && detailsBelowListTop;
    p.fileCountShown = InsideGroup(places_.fileCount, p.group);
    p.totalSizeShown = InsideGroup(places_.totalSize, p.group);
    p.dirCountShown = InsideGroup(places_.dirCount, p.group);
    return p;
}

} // namespace tidewell
