// The listing area follows the window; the rules themselves are checked in
// ListingLayoutTest, this checks that the window applies them.
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

// Each control where the window puts it after growing by change from its built size.
std::map<int, QRect> Expected(std::map<int, QRect> places, QSize change) {
    for (int id : {IDC_UP, IDC_DELETE, IDC_NEW_DIR}) {
        places[id].translate(change.width(), change.height());
    }
    places[IDC_DETAILS].translate(0, change.height());
    for (int id : {IDC_REMOTE_LIST, IDC_LISTING_GROUP}) {
        places[id].setSize(places[id].size() + change);
    }
    return places;
}

class WindowLayoutTest : public testing::Test {
protected:
    void SetUp() override {
        dialog_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog_));
        built_ = Places(dialog_);
        builtSize_ = dialog_.size();
    }
    // Resizes the window and waits (bounded) until the listing has followed.
    bool ResizeBy(QSize change) {
        dialog_.resize(builtSize_ + change);
        return QTest::qWaitFor([&] { return Places(dialog_) == Expected(built_, change); }, 5000);
    }
    bool Hidden(int id) const { return dialog_.Control(id)->isHidden(); }

    MainDialog dialog_{{}};
    std::map<int, QRect> built_;
    QSize builtSize_;
};

TEST_F(WindowLayoutTest, GrowingMovesTheButtonsAndGrowsTheListAndTheLeftHalfStays) {
    EXPECT_TRUE(ResizeBy({400, 300}));
    for (int id : {IDC_UP, IDC_DELETE, IDC_NEW_DIR, IDC_DETAILS, IDC_TOTAL_SIZE}) {
        EXPECT_FALSE(Hidden(id)) << id;
    }
}

TEST_F(WindowLayoutTest, ButtonsHideWhenUpMeetsDetailsAndComeBack) {
    const QRect up = built_[IDC_UP];
    const QRect details = built_[IDC_DETAILS];
    const int meet = details.x() + details.width() - up.x();
    ASSERT_TRUE(ResizeBy({meet + 1, 0}));
    EXPECT_FALSE(Hidden(IDC_UP));
    ASSERT_TRUE(ResizeBy({meet, 0}));
    for (int id : {IDC_UP, IDC_DELETE, IDC_NEW_DIR}) {
        EXPECT_TRUE(Hidden(id)) << id;
    }
    // "Total Size:" ends nearer the box's edge than Up is to Details.
    EXPECT_TRUE(Hidden(IDC_TOTAL_SIZE));
    EXPECT_FALSE(Hidden(IDC_FILE_COUNT));
    ASSERT_TRUE(ResizeBy({0, 0}));
    for (int id : {IDC_UP, IDC_DELETE, IDC_NEW_DIR, IDC_TOTAL_SIZE}) {
        EXPECT_FALSE(Hidden(id)) << id;
    }
}

TEST_F(WindowLayoutTest, MinimisingChangesNothingAndRestoringLaysOutAgain) {
    dialog_.showMinimized();
    const QSize restored = builtSize_ + QSize(200, 100);
    dialog_.resize(restored);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog_.size() == restored; }, 5000));
    EXPECT_EQ(Places(dialog_), built_);
    dialog_.showNormal();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return Places(dialog_) == Expected(built_, restored - builtSize_); }, 5000));
}

} // namespace
} // namespace tidewell
