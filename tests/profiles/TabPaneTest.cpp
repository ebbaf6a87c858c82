// A site pane: change marking, validation through its owner, the keys it
// keeps to itself, and its profile record.
#include "profiles/TabPane.h"
#include "app/MainDialog.h"
#include "resources/ResourceIds.h"
#include "support/MessageRecorder.h"

#include <QLineEdit>
#include <QTabBar>
#include <QTest>
#include <gtest/gtest.h>

namespace tidewell {
namespace {

using test::MessageRecorder;

class TabPaneTest : public ::testing::Test {
protected:
    void Show() {
        dialog.show();
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }

    // Sets the Save Passwords choice through its menu item, then forgets the
    // change that the toggle itself marks.
    void SetSavePasswords(bool on) {
        if (dialog.savePasswords != on) {
            dialog.DispatchCommand(res::ID_FILE_SAVE_PASSWORDS);
        }
        dialog.ClearSiteModified();
        dialog.SetPlainTitle();
    }

    void Fill(TabPane* pane, const char* address, const char* username, const char* password) {
        pane->AddressEdit()->setText(address);
        pane->UsernameEdit()->setText(username);
        pane->PasswordEdit()->setText(password);
    }

    MainDialog dialog{{}};
};

TEST_F(TabPaneTest, PasswordEditsCountOnlyWhilePasswordsAreSaved) {
    const QString plain = dialog.windowTitle();
    TabPane* pane = dialog.Pane(1);

    SetSavePasswords(false);
    pane->PasswordEdit()->setText("secret");
    EXPECT_FALSE(pane->modified);
    EXPECT_EQ(dialog.windowTitle(), plain);

    SetSavePasswords(true);
    pane->PasswordEdit()->setText("secret2");
    EXPECT_TRUE(pane->modified);
    EXPECT_TRUE(dialog.windowTitle().endsWith(" *]"));
}

TEST_F(TabPaneTest, EveryOtherFieldMarksItsSite) {
    SetSavePasswords(false);
    for (int id : {res::IDC_ADDRESS, res::IDC_USERNAME, res::IDC_DIRECTORY}) {
        dialog.ClearSiteModified();
        dialog.SetPlainTitle();
        dialog.Pane(6)->Field(id)->setText("x");
        EXPECT_TRUE(dialog.Pane(6)->modified) << id;
        EXPECT_TRUE(dialog.windowTitle().endsWith(" *]")) << id;
        EXPECT_EQ(dialog.windowTitle().count(" *]"), 1) << id;
    }
}

TEST_F(TabPaneTest, ValidationNamesTheFirstMissingFieldAndFocusesIt) {
    Show();
    TabPane* pane = dialog.currentPane;
    struct Case {
        const char *address, *username, *password;
        const char* message;
        QLineEdit* field;
    };
    const Case cases[] = {
        {"", "user", "pw", "You must supply the FTP Internet address", pane->AddressEdit()},
        {"host", "", "pw", "You must supply the FTP username", pane->UsernameEdit()},
        {"host", "user", "", "You must supply the FTP password", pane->PasswordEdit()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        Fill(pane, c.address, c.username, c.password);
        dialog.Control(res::IDC_BROWSE)->setFocus();
        MessageRecorder messages;
        EXPECT_FALSE(dialog.ValidateSite(true));
        ASSERT_EQ(messages.Calls().size(), 1u);
        EXPECT_EQ(messages.Calls()[0].text, c.message);
        EXPECT_EQ(messages.Calls()[0].caption, "ERROR");
        EXPECT_EQ(messages.Calls()[0].icon, MessageIcon::Exclamation);
        EXPECT_EQ(messages.Calls()[0].buttons, MessageButtons::Ok);
        EXPECT_EQ(dialog.focusWidget(), c.field);

        // Silently: the same answer, no message, the focus stays.
        dialog.Control(res::IDC_BROWSE)->setFocus();
        MessageRecorder silent;
        EXPECT_FALSE(dialog.ValidateSite(false));
        EXPECT_TRUE(silent.Calls().empty());
        EXPECT_EQ(dialog.focusWidget(), dialog.Control(res::IDC_BROWSE));
    }
}

TEST_F(TabPaneTest, ValidationReadsTheFieldsAndAcceptsBlanksAndNoDirectory) {
    MessageRecorder messages;
    TabPane* pane = dialog.currentPane;
    Fill(pane, " ", "user", " ");
    EXPECT_TRUE(dialog.ValidateSite(true));
    EXPECT_TRUE(messages.Calls().empty());
    EXPECT_EQ(pane->profile.password, " ");
    EXPECT_EQ(pane->profile.directory, "");
}

TEST_F(TabPaneTest, ValidationChecksTheSelectedSiteOnly) {
    MessageRecorder messages;
    Fill(dialog.Pane(0), "host", "user", "pw");
    dialog.SiteTabBar()->setCurrentIndex(1);
    EXPECT_FALSE(dialog.ValidateSite(false));
    dialog.SiteTabBar()->setCurrentIndex(0);
    EXPECT_TRUE(dialog.ValidateSite(false));
}

TEST_F(TabPaneTest, EnterAndEscapeInAFieldStayInThePane) {
    Show();
    MessageRecorder messages; // any exit question would be recorded
    TabPane* pane = dialog.currentPane;
    pane->AddressEdit()->setText("ftp.example.org");
    for (QLineEdit* field : {pane->AddressEdit(), pane->PasswordEdit()}) {
        field->setFocus();
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QTest::keyClick(field, key);
            EXPECT_TRUE(dialog.isVisible()) << key;
            EXPECT_TRUE(pane->isVisible()) << key;
        }
    }
    EXPECT_EQ(pane->AddressEdit()->text(), "ftp.example.org");
    EXPECT_TRUE(messages.Calls().empty());
}

TEST_F(TabPaneTest, RecordRoundTripsAndLeavesThePasswordAlone) {
    TabPane* source = dialog.Pane(0);
    const std::string longPassword(300, 'p');
    Fill(source, "ftp.example.org", "jörg", longPassword.c_str());
    source->DirectoryEdit()->setText("/pub/dir with blanks");
    source->Pull();

    ArchiveWriter first;
    source->Store(first);
    ArchiveWriter second;
    source->Store(second);
    EXPECT_EQ(first.Bytes(), second.Bytes());
    EXPECT_EQ(source->profile.password, longPassword);
    EXPECT_EQ(source->PasswordEdit()->text().toStdString(), longPassword);

    // address, username (UTF-8 bytes), then the 300-byte password in the three-byte form.
    const std::string& bytes = first.Bytes();
    const std::size_t passwordAt = 1 + 15 + 1 + std::string("jörg").size();
    ASSERT_GT(bytes.size(), passwordAt + 3);
    EXPECT_EQ(static_cast<unsigned char>(bytes[passwordAt]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(bytes[passwordAt + 1]), 300 & 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(bytes[passwordAt + 2]), 300 >> 8);
    EXPECT_EQ(bytes.find(longPassword), std::string::npos); // not stored as plain text

    TabPane* target = dialog.Pane(4);
    ArchiveReader reader(bytes);
    ASSERT_TRUE(target->Load(reader));
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_EQ(target->profile, source->profile);
    EXPECT_EQ(target->AddressEdit()->text(), "ftp.example.org");
    EXPECT_EQ(target->UsernameEdit()->text(), QString::fromUtf8("jörg"));
    EXPECT_EQ(target->PasswordEdit()->text().toStdString(), longPassword);
    EXPECT_EQ(target->DirectoryEdit()->text(), "/pub/dir with blanks");
    // Showing a loaded site counts as a change, as it always has.
    EXPECT_TRUE(target->modified);
}

TEST_F(TabPaneTest, ACutShortRecordChangesNothing) {
    TabPane* source = dialog.Pane(0);
    Fill(source, "host", "user", "pw");
    source->Pull();
    ArchiveWriter out;
    source->Store(out);
    const std::string cut = out.Bytes().substr(0, out.Bytes().size() - 1);

    TabPane* target = dialog.Pane(2);
    Fill(target, "old", "olduser", "oldpw");
    target->Pull();
    const SiteProfile before = target->profile;
    ArchiveReader reader(cut);
    EXPECT_FALSE(target->Load(reader));
    EXPECT_EQ(target->profile, before);
    EXPECT_EQ(target->AddressEdit()->text(), "old");
}

} // namespace
} // namespace tidewell
