// The rules of opening a hyperlink that need no window: the "%1" rule on the
// registered browser command, the desktop files it is read from, and the
// error texts.
#include "core/app/HyperlinkRules.h"

#include <gtest/gtest.h>

namespace tidewell::hyperlink {
namespace {

const QString kAddress = QStringLiteral("https://tidewell.example.org/");

TEST(HyperlinkRules, TheCommandIsCutAtTheFirstQuotedPlaceholderElseTheFirstBareOne) {
    // A quoted placeholder with switches after it is LinkLabelTest's case.
    // A quoted one wins over an earlier bare one.
    EXPECT_EQ(CutAtPlaceholder(R"(browser %f "%u" --x)"), "browser %f ");
    EXPECT_EQ(CutAtPlaceholder("browser %1 -new"), "browser ");
    EXPECT_EQ(CutAtPlaceholder("browser --name 100%%u %U"), "browser --name 100%%u ");
    EXPECT_EQ(CutAtPlaceholder("browser -new"), "browser -new");
}

TEST(HyperlinkRules, TheBrowserCommandIsTheCutLineInWordsAndTheAddress) {
    EXPECT_EQ(BrowserCommand(R"("/opt/Web Browser/browser" --new-window "%u" --private)", kAddress),
              (QStringList{"/opt/Web Browser/browser", "--new-window", kAddress}));
    // No placeholder: the whole line, then the address; field codes before the cut are dropped.
    EXPECT_EQ(BrowserCommand("browser %i --load=100%%", kAddress),
              (QStringList{"browser", "--load=100%", kAddress}));
    EXPECT_EQ(BrowserCommand("%U", kAddress), QStringList());
}

TEST(HyperlinkRules, DesktopFilesAndMimeAppsListsAreReadByTheirGroups) {
    const QString entry = QStringLiteral("[Desktop Entry]\nName=Browser\nExec[de]=wrong\n"
                                         "Exec = /opt/my\\sbrowser \"%u\"\n"
                                         "[Desktop Action private]\nExec=/opt/other --private %u\n");
    EXPECT_EQ(DesktopEntryExec(entry), "/opt/my browser \"%u\"");
    EXPECT_EQ(DesktopEntryExec("[Desktop Action new]\nExec=x\n"), QString());

    const QString list = QStringLiteral("[Added Associations]\ntext/html=other.desktop;\n"
                                        "[Default Applications]\ntext/html=b.desktop; a.desktop;\n");
    EXPECT_EQ(MimeAppsDefaults(list, "text/html"), (QStringList{"b.desktop", "a.desktop"}));
    EXPECT_EQ(MimeAppsDefaults(list, "x-scheme-handler/https"), QStringList());
}

TEST(HyperlinkRules, EachErrorCodeHasItsTextAndAnyOtherIsUnknown) {
    EXPECT_EQ(OpenErrorMessage(26), "Unable to open hyperlink:\n\nA sharing violation occurred. ");
    EXPECT_EQ(OpenErrorMessage(1), "Unable to open hyperlink:\n\nUnknown Error (1) occurred.");
    EXPECT_EQ(OpenErrorText(31), "There is no application associated\nwith the given filename extension.");
    EXPECT_FALSE(Succeeded(32));
    EXPECT_TRUE(Succeeded(kOpened));
}

} // namespace
} // namespace tidewell::hyperlink
