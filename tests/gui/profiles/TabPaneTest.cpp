// A site pane: change marking, validation through its owner, the keys it
// keeps to itself, and its profile record.
#include "gui/profiles/TabPane.h"
#include "gui/app/MainDialog.h"
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

    void Fill(TabPane* pane, const char* address, const char* username, const char* password) {
        pane->AddressEdit()->setText(address);
        pane->UsernameEdit()->setText(username);
        pane->PasswordEdit()->setText(password);
    }

    MainDialog dialog{{}};
};

TEST_F(TabPaneTest, AnEditMarksItsSiteOnceButThePasswordOnlyWhilePasswordsAreSaved) {
    const QString plain = dialog.windowTitle();
    const QString marked = plain.left(plain.size() - 1) + " *]";
    for (bool savePasswords : {false, true}) {
        if (dialog.savePasswords != savePasswords) {
            dialog.DispatchCommand(res::ID_FILE_SAVE_PASSWORDS);
        }
        dialog.ClearSiteModified(); // also forgets what the toggle marked
        dialog.SetPlainTitle();
        dialog.Pane(6)->PasswordEdit()->setText(savePasswords ? "y" : "x");
        EXPECT_EQ(dialog.Pane(6)->modified, savePasswords);
        EXPECT_EQ(dialog.windowTitle(), savePasswords ? marked : plain);
    }
    // Every other field marks its site; the title keeps a single marker.
    dialog.SetPlainTitle();
    for (int id : {res::IDC_ADDRESS, res::IDC_USERNAME, res::IDC_DIRECTORY}) {
        dialog.ClearSiteModified();
        dialog.Pane(id == res::IDC_DIRECTORY ? 5 : 6)->Field(id)->setText("x");
        EXPECT_TRUE(dialog.Pane(id == res::IDC_DIRECTORY ? 5 : 6)->modified) << id;
        EXPECT_EQ(dialog.windowTitle(), marked) << id;
    }
    EXPECT_FALSE(dialog.Pane(1)->modified);
}

TEST_F(TabPaneTest, ValidationNamesTheFirstMissingFieldAndFocusesIt) {
    Show();
    TabPane* pane = dialog.currentPane;
    const struct {
        const char *address, *username, *password, *message;
        QLineEdit* field;
    } cases[] = {
        {"", "user", "pw", "You must supply the FTP Internet address", pane->AddressEdit()},
        {"host", "", "pw", "You must supply the FTP username", pane->UsernameEdit()},
        {"host", "user", "", "You must supply the FTP password", pane->PasswordEdit()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        Fill(pane, c.address, c.username, c.password);
        dialog.Control(res::IDC_BROWSE)->setFocus();
        {
            MessageRecorder silent; // the same answer, no message, the focus stays
            EXPECT_FALSE(dialog.ValidateSite(false));
            EXPECT_TRUE(silent.Calls().empty());
            EXPECT_EQ(dialog.focusWidget(), dialog.Control(res::IDC_BROWSE));
        }
        MessageRecorder messages;
        EXPECT_FALSE(dialog.ValidateSite(true));
        ASSERT_EQ(messages.Calls().size(), 1u);
        EXPECT_EQ(messages.Calls()[0].text, c.message);
        EXPECT_EQ(messages.Calls()[0].caption, "ERROR");
        EXPECT_EQ(messages.Calls()[0].icon, MessageIcon::Exclamation);
        EXPECT_EQ(messages.Calls()[0].buttons, MessageButtons::Ok);
        EXPECT_EQ(dialog.focusWidget(), c.field);
    }
}

TEST_F(TabPaneTest, ValidationReadsTheSelectedSiteAndAcceptsBlanks) {
    MessageRecorder messages;
    Fill(dialog.Pane(0), " ", "user", " ");
    dialog.SiteTabBar()->setCurrentIndex(1);
    EXPECT_FALSE(dialog.ValidateSite(false));
    dialog.SiteTabBar()->setCurrentIndex(0);
    EXPECT_TRUE(dialog.ValidateSite(true));
    EXPECT_TRUE(messages.Calls().empty());
    EXPECT_EQ(dialog.Pane(0)->profile.password, " ");
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
            EXPECT_TRUE(pane->isVisible()) << key;
        }
    }
    EXPECT_EQ(pane->AddressEdit()->text(), "ftp.example.org");
    EXPECT_TRUE(messages.Calls().empty());
}

TEST_F(TabPaneTest, RecordRoundTripsALongPasswordAndACutRecordChangesNothing) {
    TabPane* source = dialog.Pane(0);
    const std::string longPassword(300, 'p');
    Fill(source, "ftp.example.org", "jörg", longPassword.c_str());
    source->DirectoryEdit()->setText("/pub/dir with blanks");
    source->Pull();
    ArchiveWriter out;
    source->Store(out);
    EXPECT_EQ(source->PasswordEdit()->text().toStdString(), longPassword);

    // address, username (UTF-8 bytes), then the 300-byte password in the three-byte form.
    const std::string& bytes = out.Bytes();
    const std::size_t passwordAt = 1 + 15 + 1 + std::string("jörg").size();
    ASSERT_GT(bytes.size(), passwordAt + 3);
    EXPECT_EQ(static_cast<unsigned char>(bytes[passwordAt]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(bytes[passwordAt + 1]), 300 & 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(bytes[passwordAt + 2]), 300 >> 8);
    EXPECT_EQ(bytes.find(longPassword), std::string::npos); // not stored as plain text

    TabPane* target = dialog.Pane(4);
    Fill(target, "old", "olduser", "oldpw");
    target->Pull();
    const SiteProfile before = target->profile;
    const std::string cut = bytes.substr(0, bytes.size() - 1);
    ArchiveReader cutReader(cut);
    EXPECT_FALSE(target->Load(cutReader));
    EXPECT_EQ(target->profile, before);
    EXPECT_EQ(target->AddressEdit()->text(), "old");

    ArchiveReader reader(bytes);
    ASSERT_TRUE(target->Load(reader));
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_EQ(target->profile, source->profile);
    EXPECT_EQ(target->UsernameEdit()->text(), QString::fromUtf8("jörg"));
    EXPECT_EQ(target->PasswordEdit()->text().toStdString(), longPassword);
    EXPECT_EQ(target->DirectoryEdit()->text(), "/pub/dir with blanks");
    EXPECT_TRUE(target->modified); // showing a loaded site counts as a change, as it always has
}

} // namespace
} // namespace tidewell
