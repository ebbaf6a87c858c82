#include "core/app/ListingLayout.h"

#include <algorithm>

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

QSize ListingLayout::MinimumClient() const {
    const ListingTemplate& t = places_;
    // Each rule of Place turned round: how far the client may shrink before it hides something.
    int dx = std::max(Right(t.details) + 1 - t.up.x(), Right(t.details) + 1 - Right(t.group));
    int dy = t.list.y() + 1 - t.details.y();
    for (const QRect& label : {t.fileCount, t.totalSize, t.dirCount}) {
        dx = std::max(dx, Right(label) + 4 - Right(t.group));
        dy = std::max(dy, Bottom(label) + 4 - Bottom(t.group));
    }
    const int bottomMargin = t.client.height() - std::max(Bottom(t.fixedArea), Bottom(t.group));
    const int rightMargin = t.client.width() - Right(t.group);
    return {std::max(t.client.width() + dx, Right(t.fixedArea) + rightMargin),
            std::max(t.client.height() + dy, Bottom(t.fixedArea) + bottomMargin)};
}

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
