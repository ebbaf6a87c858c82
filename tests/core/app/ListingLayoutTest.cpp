#include "core/app/ListingLayout.h"

#include <gtest/gtest.h>

#include <vector>

namespace tidewell {
namespace {

// Client 600x450; box right edge 600, bottom 400; Details ends at 370, Up
// starts at 420; "Total Size:" ends at 550; the counters' bottom is 36. The
// fixed controls to the left end at 300 by 420.
const ListingTemplate kBuilt{{600, 450},         {420, 380, 20, 20},  {450, 380, 60, 20}, {520, 380, 60, 20},
                             {310, 380, 60, 20}, {310, 40, 280, 330}, {300, 0, 300, 400}, {310, 20, 60, 16},
                             {450, 20, 100, 16}, {380, 20, 60, 16},   {0, 0, 290, 420}};

TEST(ListingLayout, HidesWhatWouldCollide) {
    const struct {
        QSize change;
        bool buttons, details, fileCount, totalSize, dirCount;
    } cases[] = {
        {{-46, 0}, true, true, true, true, true},       {{-47, 0}, true, true, true, false, true},
        {{-50, 0}, false, true, true, false, true},     {{-230, 0}, false, false, false, false, false},
        {{0, -339}, true, true, true, true, true},      {{0, -340}, false, false, true, true, true},
        {{0, -361}, false, false, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.change.width() << "," << c.change.height());
        const ListingPlacement p = ListingLayout(kBuilt).Place(kBuilt.client + c.change);
        EXPECT_EQ(std::vector<bool>(
                      {p.buttonsShown, p.detailsShown, p.fileCountShown, p.totalSizeShown, p.dirCountShown}),
                  std::vector<bool>({c.buttons, c.details, c.fileCount, c.totalSize, c.dirCount}));
    }
}

// The minimum is where the first control would go ("Total Size:" at -46), and
// no shorter than the fixed controls with the built margin below them.
TEST(ListingLayout, TheMinimumShowsEverything) {
    EXPECT_EQ(ListingLayout(kBuilt).MinimumClient(), QSize(554, 450));
    ListingTemplate shortFixed = kBuilt;
    shortFixed.fixedArea = {0, 0, 290, 100};
    EXPECT_EQ(ListingLayout(shortFixed).MinimumClient(), QSize(554, 150));
}

} // namespace
} // namespace tidewell
