#include "core/app/ListingLayout.h"

#include <gtest/gtest.h>

namespace tidewell {
namespace {

// A listing area like the window's: counters along the top, Details and the
// three buttons along the bottom of the group box.
const ListingTemplate kBuilt{
    QSize(600, 450),          QRect(420, 380, 20, 20), // Up
    QRect(450, 380, 60, 20),                           // Delete
    QRect(520, 380, 60, 20),                           // New Dir
    QRect(310, 380, 60, 20),                           // Details, right edge 370
    QRect(310, 40, 280, 330), QRect(300, 0, 300, 400), // group, right edge 600, bottom 400
    QRect(310, 20, 60, 16),                            // File(s)
    QRect(450, 20, 100, 16),                           // Total Size, right edge 550
    QRect(380, 20, 60, 16),                            // Dir(s)
};

TEST(ListingLayout, ButtonsFollowTheCornerDetailsTheBottomAndTheListGrows) {
    for (const QSize change : {QSize(200, 100), QSize(-30, -20)}) {
        SCOPED_TRACE(testing::Message() << change.width() << "," << change.height());
        const ListingPlacement p = ListingLayout(kBuilt).Place(kBuilt.client + change);
        EXPECT_EQ(p.up, kBuilt.up.translated(change.width(), change.height()));
        EXPECT_EQ(p.deleteButton, kBuilt.deleteButton.translated(change.width(), change.height()));
        EXPECT_EQ(p.newDir, kBuilt.newDir.translated(change.width(), change.height()));
        EXPECT_EQ(p.details, kBuilt.details.translated(0, change.height()));
        EXPECT_EQ(p.list, QRect(kBuilt.list.topLeft(), kBuilt.list.size() + change));
        EXPECT_EQ(p.group, QRect(kBuilt.group.topLeft(), kBuilt.group.size() + change));
    }
}

TEST(ListingLayout, WhatWouldCollideIsHidden) {
    const struct {
        const char* what;
        QSize change;
        bool buttons, details, fileCount, totalSize, dirCount;
    } cases[] = {
        {"grown", {200, 100}, true, true, true, true, true},
        {"Total Size ends 4 pixels inside the box", {-46, 0}, true, true, true, true, true},
        {"Total Size within 4 pixels of the box's edge", {-47, 0}, true, true, true, false, true},
        {"Up one pixel right of Details", {-49, 0}, true, true, true, false, true},
        {"Up meets Details", {-50, 0}, false, true, true, false, true},
        {"the box's edge reaches Details", {-230, 0}, false, false, false, false, false},
        {"Details reaches the list's top", {0, -340}, false, false, true, true, true},
        {"the box's bottom within 4 pixels of the counters", {0, -361}, false, false, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ListingPlacement p = ListingLayout(kBuilt).Place(kBuilt.client + c.change);
        EXPECT_EQ(p.buttonsShown, c.buttons);
        EXPECT_EQ(p.detailsShown, c.details);
        EXPECT_EQ(p.fileCountShown, c.fileCount);
        EXPECT_EQ(p.totalSizeShown, c.totalSize);
        EXPECT_EQ(p.dirCountShown, c.dirCount);
    }
}

} // namespace
} // namespace tidewell
