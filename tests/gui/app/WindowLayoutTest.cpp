// The window applies the listing rules (ListingLayoutTest) on resizing, not while
// minimised, and keeps to their minimum.
#include "gui/app/MainDialog.h"

#include "resources/DialogTemplate.h"
#include "resources/ResourceIds.h"

#include <QTest>
#include <gtest/gtest.h>

#include <map>

namespace tidewell {
namespace {

using namespace res;

std::map<int, QRect> Places(const MainDialog& dialog) {
    std::map<int, QRect> places;
    for (const ControlTemplate& control : MainDialogTemplate().controls) {
        if (QWidget* widget = dialog.Control(control.id)) {
            places[control.id] = widget->geometry();
        }
    }
    return places;
}

// The built places after the client area grew by change: every other control stays.
std::map<int, QRect> Grown(std::map<int, QRect> places, QSize change) {
    for (int id : {IDC_UP, IDC_DELETE, IDC_NEW_DIR}) {
        places[id].translate(change.width(), change.height());
    }
    places[IDC_DETAILS].translate(0, change.height());
    for (int id : {IDC_REMOTE_LIST, IDC_LISTING_GROUP}) {
        places[id].setSize(places[id].size() + change);
    }
    return places;
}

TEST(WindowLayout, TheListingFollowsTheWindowExceptWhileMinimised) {
    MainDialog dialog({});
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    const std::map<int, QRect> built = Places(dialog);
    const QSize size = dialog.size();
    auto resizeBy = [&](QSize change) {
        dialog.resize(size + change);
        return QTest::qWaitFor([&] { return Places(dialog) == Grown(built, change); }, 5000);
    };
    auto shown = [&](int id) { return !dialog.Control(id)->isHidden(); };

    ASSERT_TRUE(resizeBy({400, 300}));
    EXPECT_TRUE(shown(IDC_UP) && shown(IDC_DELETE) && shown(IDC_NEW_DIR) && shown(IDC_TOTAL_SIZE));
    // The window goes no smaller than the size at which everything is in reach.
    dialog.resize(100, 100);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.size() == dialog.minimumSize(); }, 5000));
    EXPECT_LT(dialog.minimumWidth(), size.width());
    for (int id :
         {IDC_UP, IDC_DELETE, IDC_NEW_DIR, IDC_DETAILS, IDC_FILE_COUNT, IDC_TOTAL_SIZE, IDC_DIR_COUNT}) {
        EXPECT_TRUE(shown(id)) << id;
    }
    ASSERT_TRUE(resizeBy({0, 0}));

    dialog.showMinimized();
    dialog.resize(size + QSize(200, 100));
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.size() == size + QSize(200, 100); }, 5000));
    EXPECT_EQ(Places(dialog), built);
    dialog.showNormal();
    EXPECT_TRUE(QTest::qWaitFor([&] { return Places(dialog) == Grown(built, {200, 100}); }, 5000));
}

} // namespace
} // namespace tidewell
