// How the main window wires the File menu's profile commands, the settings
// file at start-up and at exit, and the preferences. What the commands do
// with the files is tested against a fake window in SettingsDocumentTest.
#include "core/profiles/DataLocations.h"
#include "gui/app/MainDialog.h"
#include "gui/profiles/TabPane.h"
#include "gui/ui/FileDialogs.h"
#include "resources/ResourceIds.h"
#include "support/MessageRecorder.h"
#include "support/TestFiles.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace tidewell {
namespace {

using namespace res;
using test::MessageRecorder;
using testing::ReadBytes;
using testing::SampleProfiles;
using testing::WriteBytes;

SiteProfiles Other() {
    SiteProfiles profiles;
    profiles[1] = {"ftp.two.test", "dora", "pw2", "/incoming"};
    return profiles;
}

std::string Encoded(const SiteProfiles& profiles) {
    return SettingsFile::Encode(profiles, true);
}

// Fills every field as typing would.
void TypeAll(MainDialog& dialog, const SiteProfiles& profiles) {
    for (std::size_t i = 0; i < kSiteCount; ++i) {
        dialog.Pane(i)->ShowProfile(profiles[i]);
    }
}

SiteProfiles Fields(const MainDialog& dialog) {
    SiteProfiles fields;
    for (std::size_t i = 0; i < kSiteCount; ++i) {
        fields[i] = dialog.Pane(i)->Fields();
    }
    return fields;
}

// Answers the file dialogs from a script (an empty answer cancels) and records each request.
struct FileDialogScript {
    explicit FileDialogScript(std::deque<QString> script) : answers(std::move(script)) {}

    std::deque<QString> answers;
    std::vector<FileDialogRequest> requests;
    ScopedFileDialogHook hook{[this](const FileDialogRequest& request) {
        requests.push_back(request);
        if (answers.empty()) {
            ADD_FAILURE() << "unscripted file dialog: " << request.caption.toStdString();
            return QStringList{};
        }
        const QString answer = answers.front();
        answers.pop_front();
        return answer.isEmpty() ? QStringList{} : QStringList{answer};
    }};
};

class SettingsWindowTest : public ::testing::Test {
protected:
    QString File(const QString& name) const { return dir_.filePath(name); }

    QTemporaryDir dir_;
};

TEST_F(SettingsWindowTest, OpenSavesTheEditsWhenAskedThenOpensFromTheCurrentFolderAndLogsOut) {
    WriteBytes(DefaultSettingsPath(), Encoded(SampleProfiles()));
    WriteBytes(File("other/other.dat"), Encoded(Other()));
    MainDialog dialog({});
    dialog.Pane(3)->UsernameEdit()->setText("edited");
    // The list's counters go back to their plain texts when the window logs out.
    dialog.ControlAs<QLabel>(IDC_FILE_COUNT)->setText("File(s): 1");

    MessageRecorder messages({Answer::Yes});
    FileDialogScript dialogs({File("other/other.dat"), QString()});
    dialog.DispatchCommand(ID_FILE_OPEN_PREFERENCES);
    ASSERT_EQ(messages.Calls().size(), 1u);
    EXPECT_EQ(messages.Calls()[0].buttons, MessageButtons::YesNoCancel);
    SiteProfiles edited = SampleProfiles();
    edited[3].username = "edited";
    EXPECT_EQ(ReadBytes(DefaultSettingsPath()), Encoded(edited));
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].directory, DataFolder());
    EXPECT_EQ(dialog.SettingsPath(), File("other/other.dat"));
    EXPECT_EQ(Fields(dialog), Other());
    EXPECT_EQ(dialog.Title(), "Tidewell - [" + File("other/other.dat") + "]");
    EXPECT_EQ(dialog.ControlAs<QLabel>(IDC_FILE_COUNT)->text(), "File(s):");

    // Save As starts in the opened file's folder; cancelled, it changes nothing.
    dialog.DispatchCommand(ID_FILE_SAVE_PREFERENCES_AS);
    ASSERT_EQ(dialogs.requests.size(), 2u);
    EXPECT_EQ(dialogs.requests[1].directory, File("other"));
    EXPECT_EQ(dialog.SettingsPath(), File("other/other.dat"));
}

TEST_F(SettingsWindowTest, SaveAsGivesANameWithoutSuffixTheProfileOneAndAsksBeforeReplacingIt) {
    ASSERT_TRUE(QDir().mkpath(File("v1.2")));
    MainDialog dialog({});
    TypeAll(dialog, SampleProfiles());
    dialog.DispatchCommand(ID_FILE_SAVE_PREFERENCES);
    EXPECT_EQ(ReadBytes(DefaultSettingsPath()), Encoded(SampleProfiles()));

    const struct {
        const char *typed, *saved;
    } cases[] = {
        {"mine", "mine.dat"},
        {"mine.", "mine.dat"},
        {"backup.bak", "backup.bak"},
        {"v1.2/mine", "v1.2/mine.dat"}, // a dot in a folder name is no suffix of the file
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        QFile::remove(File(c.saved));
        FileDialogScript dialogs({File(c.typed)});
        dialog.DispatchCommand(ID_FILE_SAVE_PREFERENCES_AS);
        EXPECT_EQ(ReadBytes(File(c.saved)), Encoded(SampleProfiles()));
        EXPECT_EQ(dialog.SettingsPath(), File(c.saved));
    }

    // The file dialog asked about the name as typed; the completed name is asked about here.
    WriteBytes(File("taken.dat"), Encoded(Other()));
    FileDialogScript dialogs({File("taken"), File("taken")});
    MessageRecorder messages({Answer::No, Answer::Yes});
    dialog.DispatchCommand(ID_FILE_SAVE_PREFERENCES_AS);
    EXPECT_EQ(ReadBytes(File("taken.dat")), Encoded(Other()));
    EXPECT_EQ(dialog.SettingsPath(), File("v1.2/mine.dat"));
    dialog.DispatchCommand(ID_FILE_SAVE_PREFERENCES_AS);
    EXPECT_EQ(ReadBytes(File("taken.dat")), Encoded(SampleProfiles()));
    EXPECT_EQ(dialog.SettingsPath(), File("taken.dat"));
    ASSERT_EQ(messages.Calls().size(), 2u);
    EXPECT_EQ(messages.Calls()[0].buttons, MessageButtons::YesNo);
    EXPECT_TRUE(messages.Calls()[0].text.startsWith(File("taken.dat") + " already exists."));
}

TEST_F(SettingsWindowTest, ExitAnsweredYesSavesTheCurrentFileWhichTheNextStartOpensWithThePreferences) {
    const SiteProfiles saved = SettingsFile::WithoutPasswords(Other());
    {
        MainDialog dialog({});
        dialog.ControlAs<QLineEdit>(IDC_DOWNLOAD_FOLDER)->setText(File("downloads"));
        dialog.DispatchCommand(ID_HELP_TOOLTIPS);
        dialog.DispatchCommand(ID_FILE_SAVE_PASSWORDS);
        FileDialogScript dialogs({File("mine.dat")});
        dialog.DispatchCommand(ID_FILE_SAVE_PREFERENCES_AS);
        TypeAll(dialog, Other());
        MessageRecorder messages({Answer::Yes});
        dialog.DispatchCommand(ID_FILE_EXIT);
        EXPECT_EQ(messages.Calls().size(), 1u);
    }
    EXPECT_EQ(ReadBytes(File("mine.dat")), Encoded(saved));

    MainDialog dialog({});
    EXPECT_EQ(dialog.SettingsPath(), File("mine.dat"));
    EXPECT_EQ(Fields(dialog), saved);
    EXPECT_EQ(dialog.ControlAs<QLineEdit>(IDC_DOWNLOAD_FOLDER)->text(), File("downloads"));
    EXPECT_FALSE(dialog.MenuAction(ID_HELP_TOOLTIPS)->isChecked());
    EXPECT_FALSE(dialog.MenuAction(ID_FILE_SAVE_PASSWORDS)->isChecked());

    // Answered No, the exit leaves the sites unsaved.
    TypeAll(dialog, SampleProfiles());
    MessageRecorder messages({Answer::No});
    dialog.DispatchCommand(ID_FILE_EXIT);
    EXPECT_EQ(messages.Calls().size(), 1u);
    EXPECT_EQ(ReadBytes(File("mine.dat")), Encoded(saved));
}

} // namespace
} // namespace tidewell
