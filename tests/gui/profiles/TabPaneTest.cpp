// The site panes: which edits mark their site, the validation of the current
// site, and the keys a pane keeps to itself.
#include "gui/profiles/TabPane.h"
#include "gui/app/MainDialog.h"
#include "gui/profiles/SitePanes.h"
#include "resources/ResourceIds.h"
#include "support/MessageRecorder.h"
#include "support/TestFiles.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include <iterator>

namespace tidewell {
namespace {

using namespace res;
using test::MessageRecorder;

class SitePanesTest : public ::testing::Test {
protected:
    std::vector<std::size_t> ModifiedSites() const {
        std::vector<std::size_t> modified;
        for (std::size_t site = 0; site < kSiteCount; ++site) {
            if (sites_.IsModified(site)) {
                modified.push_back(site);
            }
        }
        return modified;
    }

    SiteProfileSet sites_;
    QWidget window_;
    SitePanes panes_{sites_, &window_, QPoint()};
};

// Each case edits a pane of its own, so that an edit marking the wrong site shows.
TEST_F(SitePanesTest, AnEditMarksItsSiteButThePasswordOnlyWhilePasswordsAreSaved) {
    const struct {
        int field;
        bool savePasswords, marks;
    } cases[] = {
        {IDC_ADDRESS, false, true},   {IDC_USERNAME, false, true}, {IDC_DIRECTORY, false, true},
        {IDC_PASSWORD, false, false}, {IDC_PASSWORD, true, true},
    };
    for (std::size_t site = 0; site < std::size(cases); ++site) {
        SCOPED_TRACE(site);
        sites_.SetSavePasswords(cases[site].savePasswords);
        panes_.Pane(site)->Field(cases[site].field)->setText("x");
        EXPECT_EQ(ModifiedSites(), cases[site].marks ? std::vector{site} : std::vector<std::size_t>{});
        sites_.ClearModified();
    }
    // Showing a profile marks its site as typing would: only when a field's text changes.
    panes_.Pane(6)->ShowProfile({"h", "u", "p", "d"});
    EXPECT_EQ(ModifiedSites(), std::vector<std::size_t>{6});
    sites_.ClearModified();
    panes_.Pane(6)->ShowProfile({"h", "u", "p", "d"});
    EXPECT_TRUE(ModifiedSites().empty());
}

// Validation reads what the fields of the current site show; blanks count as supplied.
TEST_F(SitePanesTest, ValidationNamesTheFirstMissingFieldOfTheCurrentSiteAndFocusesIt) {
    window_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
    panes_.Pane(0)->ShowProfile({"host", "user", "pw", ""});
    panes_.Select(3);
    const char* const address = "You must supply the FTP Internet address";
    const struct {
        SiteProfile site;
        const char* message; // none: the site is complete
        int field;
    } cases[] = {
        {{"", "user", "", ""}, address, IDC_ADDRESS},
        {{"host", "", "", ""}, "You must supply the FTP username", IDC_USERNAME},
        {{"host", "user", "", ""}, "You must supply the FTP password", IDC_PASSWORD},
        {{" ", "user", " ", ""}, nullptr, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.site.address << "/" << c.site.username << "/" << c.site.password);
        panes_.Current()->ShowProfile(c.site);
        panes_.Current()->DirectoryEdit()->setFocus();
        MessageRecorder messages;
        EXPECT_EQ(panes_.ValidateCurrent(true), c.message == nullptr);
        if (!c.message) {
            EXPECT_TRUE(messages.Calls().empty());
            continue;
        }
        ASSERT_EQ(messages.Calls().size(), 1u);
        EXPECT_EQ(messages.Calls()[0].text, c.message);
        EXPECT_EQ(window_.focusWidget(), panes_.Current()->Field(c.field));
    }
}

TEST(TabPaneKeys, EnterAndEscapeInAFieldStayInThePane) {
    MainDialog dialog({});
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    MessageRecorder messages; // an exit question would be recorded, and fail unanswered
    TabPane* pane = dialog.CurrentPane();
    pane->AddressEdit()->setText("ftp.example.org");
    // Enter in the Password field logs in instead (BrowseWindowTest).
    for (QLineEdit* field : {pane->AddressEdit(), pane->DirectoryEdit()}) {
        field->setFocus();
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QTest::keyClick(field, key);
            EXPECT_TRUE(dialog.isVisible()) << key;
        }
    }
    EXPECT_EQ(pane->AddressEdit()->text(), "ftp.example.org");
    EXPECT_TRUE(messages.Calls().empty());
}

} // namespace
} // namespace tidewell
