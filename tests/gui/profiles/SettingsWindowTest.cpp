// How the main window wires the File menu's profile commands, the settings
// file at start-up and at close, and the preferences. What the commands do
// with the files is tested against a fake window in SettingsDocumentTest.
#include "gui/app/MainDialog.h"
#include "core/profiles/DataLocations.h"
#include "core/profiles/Preferences.h"
#include "core/profiles/SettingsDocument.h"
#include "core/profiles/SettingsFile.h"
#include "gui/profiles/SiteProfilesHost.h"
#include "gui/profiles/TabPane.h"
#include "support/TestFiles.h"
#include "resources/ResourceIds.h"
#include "support/MessageRecorder.h"
#include "gui/ui/FileDialogs.h"
#include "gui/remote/ListViewControl.h"
#include "gui/remote/RemoteListModel.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace tidewell {
namespace {

using namespace res;
using test::MessageRecorder;
using testing::ReadBytes;
using testing::SampleProfiles;
using testing::TemporaryHome;
using testing::WriteBytes;

SiteProfiles Other() {
    SiteProfiles profiles;
    profiles[1] = {"ftp.two.test", "dora", "pw2", "/incoming"};
    return profiles;
}

std::string Encoded(const SiteProfiles& profiles) {
    return SettingsFile::Encode(profiles, true);
}

void TypeAll(MainDialog& dialog, const SiteProfiles& profiles) {
    for (int i = 0; i < MainDialog::kSiteCount; ++i) {
        TabPane* pane = dialog.Pane(i);
        const SiteProfile& text = profiles[static_cast<std::size_t>(i)];
        pane->AddressEdit()->setText(QString::fromStdString(text.address));
        pane->UsernameEdit()->setText(QString::fromStdString(text.username));
        pane->PasswordEdit()->setText(QString::fromStdString(text.password));
        pane->DirectoryEdit()->setText(QString::fromStdString(text.directory));
    }
}

SiteProfiles Fields(MainDialog& dialog) {
    return SiteProfilesHost(dialog).FieldProfiles();
}

QString PlainTitle(const QString& path) {
    return "Tidewell - [" + path + "]";
}

// Answers the file dialogs from a script (an empty answer cancels) and records each request.
struct FileDialogScript {
    explicit FileDialogScript(std::deque<QString> script) : answers(std::move(script)) {}

    std::deque<QString> answers;
    std::vector<FileDialogRequest> requests;
    ScopedFileDialogHook hook{[this](const FileDialogRequest& request) {
        requests.push_back(request);
        EXPECT_FALSE(answers.empty()) << "unscripted file dialog: " << request.caption.toStdString();
        const QString answer = answers.empty() ? QString() : answers.front();
        if (!answers.empty()) {
            answers.pop_front();
        }
        return answer.isEmpty() ? QStringList{} : QStringList{answer};
    }};
};

class SettingsWindowTest : public ::testing::Test {
protected:
    std::unique_ptr<MainDialog> Start() { return std::make_unique<MainDialog>(std::vector<std::string>{}); }

    QString DefaultFile() const { return home_.Path() + "/data/Tidewell/TDWL23Settings.dat"; }
    QString File(const QString& name) const { return home_.File(name); }

    // Ends the window the way Exit does, answering the save question if one comes.
    static void Exit(MainDialog& dialog, int answer) {
        MessageRecorder messages(dialog.AnySiteModified() ? std::deque<int>{answer} : std::deque<int>{});
        dialog.DispatchCommand(ID_FILE_EXIT);
        ASSERT_EQ(dialog.result(), QDialog::Accepted);
    }

    TemporaryHome home_;
};

TEST_F(SettingsWindowTest, FirstStartCreatesTheEmptyDefaultFileAndNamesItInTheTitle) {
    auto dialog = Start();
    EXPECT_EQ(dialog->settingsPath, DefaultFile());
    EXPECT_EQ(ReadBytes(DefaultFile()), Encoded(SiteProfiles{}));
    EXPECT_EQ(dialog->Title(), PlainTitle(DefaultFile()));
}

TEST_F(SettingsWindowTest, OpenAsksAboutUnsavedEditsThenShowsTheOpenDialogAndLogsOut) {
    const struct {
        int answer;
        bool opens;
        bool editsSaved;
    } cases[] = {{Answer::Cancel, false, false}, {Answer::No, true, false}, {Answer::Yes, true, true}};
    SiteProfiles edited = SampleProfiles();
    edited[3].username = "edited";
    WriteBytes(File("other.dat"), Encoded(Other()));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        QFile::remove(PreferencesStore::DefaultConfigFile()); // the last window named other.dat
        WriteBytes(DefaultFile(), Encoded(SampleProfiles()));
        auto dialog = Start();
        // Loading at start-up leaves the sites it changed marked; start from a clean state.
        dialog->ClearSiteModified();
        dialog->Pane(3)->UsernameEdit()->setText("edited");
        const QString title = dialog->Title();
        dialog->connected = true;
        dialog->SetIdleState(true);
        ListingResult listing;
        listing.connected = true;
        listing.rows.push_back({"readme.txt", listing.files.AddFile("readme.txt", 0, 1, "Text"), {}, {}});
        dialog->RemoteList()->Model()->SetListing(std::move(listing));

        MessageRecorder messages({c.answer});
        FileDialogScript dialogs(c.opens ? std::deque<QString>{File("other.dat")} : std::deque<QString>{});
        dialog->DispatchCommand(ID_FILE_OPEN_PREFERENCES);
        ASSERT_EQ(messages.Calls().size(), 1u);
        EXPECT_EQ(messages.Calls()[0].text, "Save your current FTP preferences?");
        EXPECT_EQ(messages.Calls()[0].buttons, MessageButtons::YesNoCancel);
        EXPECT_EQ(messages.Calls()[0].parent, dialog.get());
        ASSERT_EQ(dialogs.requests.size(), c.opens ? 1u : 0u);
        if (c.opens) {
            EXPECT_EQ(dialogs.requests[0].kind, FileDialogKind::OpenFile);
            EXPECT_EQ(dialogs.requests[0].filter, kProfileFileFilter);
            EXPECT_EQ(dialogs.requests[0].parent, dialog.get());
        }
        EXPECT_EQ(ReadBytes(DefaultFile()), Encoded(c.editsSaved ? edited : SampleProfiles()));
        EXPECT_EQ(dialog->settingsPath, c.opens ? File("other.dat") : DefaultFile());
        EXPECT_EQ(dialog->Title(), c.opens ? PlainTitle(File("other.dat")) : title);
        // Opening logs out.
        EXPECT_EQ(dialog->connected, !c.opens);
        EXPECT_EQ(dialog->RemoteList()->Model()->rowCount(), c.opens ? 0 : 1);
        EXPECT_EQ(dialog->ControlAs<QPushButton>(IDC_LOGIN)->text(), c.opens ? "&Login" : "&Refresh");
        EXPECT_EQ(dialog->Control(IDC_LOGOUT)->isEnabled(), !c.opens);
    }
}

TEST_F(SettingsWindowTest, OpenIsRefusedWhileBusy) {
    auto dialog = Start();
    dialog->SetIdleState(false);
    EXPECT_FALSE(dialog->MenuAction(ID_FILE_OPEN_PREFERENCES)->isEnabled());
    // The default hooks fail the test on any question or dialog.
    dialog->DispatchCommand(ID_FILE_OPEN_PREFERENCES);
    EXPECT_EQ(dialog->settingsPath, DefaultFile());
    dialog->SetIdleState(true);
}

TEST_F(SettingsWindowTest, SaveWritesWhatTheFieldsShowWithPasswordsAsTheToggleSays) {
    auto dialog = Start();
    TypeAll(*dialog, SampleProfiles());
    ASSERT_TRUE(dialog->Title().endsWith(" *]"));
    dialog->DispatchCommand(ID_FILE_SAVE_PREFERENCES);
    EXPECT_EQ(ReadBytes(DefaultFile()), Encoded(SampleProfiles()));
    EXPECT_EQ(dialog->Title(), PlainTitle(DefaultFile()));

    dialog->DispatchCommand(ID_FILE_SAVE_PASSWORDS);
    dialog->DispatchCommand(ID_FILE_SAVE_PREFERENCES);
    EXPECT_EQ(ReadBytes(DefaultFile()), Encoded(SettingsFile::WithoutPasswords(SampleProfiles())));
    EXPECT_EQ(Fields(*dialog), SampleProfiles());
}

TEST_F(SettingsWindowTest, SaveAsGivesANameWithoutSuffixTheProfileOne) {
    const struct {
        const char* typed;
        const char* saved;
    } cases[] = {
        {"mine", "mine.dat"},         {"mine.", "mine.dat"},          {"mine.dat", "mine.dat"},
        {"backup.bak", "backup.bak"}, {"v1.2/mine", "v1.2/mine.dat"}, // a dot in a folder name is no suffix
                                                                      // of the file
    };
    ASSERT_TRUE(QDir().mkpath(File("v1.2")));
    auto dialog = Start();
    TypeAll(*dialog, Other());
    {
        FileDialogScript cancelled({QString()});
        dialog->DispatchCommand(ID_FILE_SAVE_PREFERENCES_AS);
        EXPECT_EQ(dialog->settingsPath, DefaultFile());
        EXPECT_TRUE(dialog->Title().endsWith(" *]"));
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        QFile::remove(File(c.saved));
        TypeAll(*dialog, SampleProfiles());
        FileDialogScript dialogs({File(c.typed)});
        dialog->DispatchCommand(ID_FILE_SAVE_PREFERENCES_AS);
        ASSERT_EQ(dialogs.requests.size(), 1u);
        EXPECT_EQ(dialogs.requests[0].kind, FileDialogKind::SaveFile);
        EXPECT_EQ(dialogs.requests[0].filter, kProfileFileFilter);
        EXPECT_EQ(ReadBytes(File(c.saved)), Encoded(SampleProfiles()));
        EXPECT_EQ(QFileInfo::exists(File(c.typed)), c.typed == std::string_view(c.saved));
        EXPECT_EQ(dialog->settingsPath, File(c.saved));
    }
    // The default file keeps the empty sites it was created with.
    EXPECT_EQ(ReadBytes(DefaultFile()), Encoded(SiteProfiles{}));
}

TEST_F(SettingsWindowTest, SaveAsAsksBeforeReplacingTheFileTheSuffixNames) {
    WriteBytes(File("mine.dat"), Encoded(Other()));
    auto dialog = Start();
    TypeAll(*dialog, SampleProfiles());
    FileDialogScript dialogs({File("mine"), File("mine")});
    MessageRecorder messages({Answer::No, Answer::Yes});
    dialog->DispatchCommand(ID_FILE_SAVE_PREFERENCES_AS);
    EXPECT_EQ(ReadBytes(File("mine.dat")), Encoded(Other()));
    EXPECT_EQ(dialog->settingsPath, DefaultFile());
    dialog->DispatchCommand(ID_FILE_SAVE_PREFERENCES_AS);
    EXPECT_EQ(ReadBytes(File("mine.dat")), Encoded(SampleProfiles()));
    EXPECT_EQ(dialog->settingsPath, File("mine.dat"));
    ASSERT_EQ(messages.Calls().size(), 2u);
    EXPECT_EQ(messages.Calls()[0].buttons, MessageButtons::YesNo);
    EXPECT_TRUE(messages.Calls()[0].text.startsWith(File("mine.dat") + " already exists."));
}

TEST_F(SettingsWindowTest, ExitAnsweredYesSavesToTheFileSavedAsWhichTheNextStartOpens) {
    {
        auto dialog = Start();
        TypeAll(*dialog, SampleProfiles());
        FileDialogScript dialogs({File("mine.dat")});
        dialog->DispatchCommand(ID_FILE_SAVE_PREFERENCES_AS);
        TypeAll(*dialog, Other());
        Exit(*dialog, Answer::Yes);
    }
    EXPECT_EQ(ReadBytes(File("mine.dat")), Encoded(Other()));
    auto dialog = Start();
    EXPECT_EQ(dialog->settingsPath, File("mine.dat"));
    EXPECT_EQ(Fields(*dialog), Other());
    EXPECT_EQ(dialog->Title(), PlainTitle(File("mine.dat")));
}

TEST_F(SettingsWindowTest, PreferencesAreWrittenWhenTheExitQuestionIsAnsweredNo) {
    {
        auto dialog = Start();
        dialog->ControlAs<QLineEdit>(IDC_DOWNLOAD_FOLDER)->setText(File("downloads"));
        dialog->DispatchCommand(ID_HELP_TOOLTIPS);
        dialog->DispatchCommand(ID_FILE_SAVE_PASSWORDS);
        TypeAll(*dialog, Other());
        Exit(*dialog, Answer::No);
        // The sites were not saved.
        EXPECT_EQ(ReadBytes(DefaultFile()), Encoded(SiteProfiles{}));
    }
    auto dialog = Start();
    EXPECT_EQ(dialog->ControlAs<QLineEdit>(IDC_DOWNLOAD_FOLDER)->text(), File("downloads"));
    EXPECT_FALSE(dialog->tooltipsEnabled);
    EXPECT_FALSE(dialog->MenuAction(ID_HELP_TOOLTIPS)->isChecked());
    EXPECT_FALSE(dialog->savePasswords);
    EXPECT_FALSE(dialog->MenuAction(ID_FILE_SAVE_PASSWORDS)->isChecked());
    EXPECT_EQ(Fields(*dialog), SiteProfiles{});
}

TEST_F(SettingsWindowTest, FailuresAtStartUpAndExitAreReportedInErrorBoxes) {
    PreferencesStore().Save({"", File("notes.dat"), true, true});
    WriteBytes(File("notes.dat"), "not settings");
    MessageRecorder messages({Answer::Ok, Answer::Yes});
    auto dialog = Start();
    ASSERT_EQ(messages.Calls().size(), 1u);
    EXPECT_EQ(messages.Calls()[0].text,
              "File \"" + File("notes.dat") + "\" is not a valid Tidewell settings file");
    EXPECT_EQ(dialog->settingsPath, DefaultFile());
    EXPECT_EQ(dialog->Title(), PlainTitle(DefaultFile()));

    TypeAll(*dialog, SampleProfiles());
    ASSERT_TRUE(QFile::remove(DefaultFile()));
    ASSERT_TRUE(QDir().rmdir(DataFolder()));
    // A file in the folder's place: the settings file cannot be created below it.
    WriteBytes(DataFolder(), "not a folder");
    dialog->DispatchCommand(ID_FILE_EXIT);
    ASSERT_EQ(messages.Calls().size(), 3u); // the error, the exit question, the error
    for (const MessageRequest& error : {messages.Calls()[0], messages.Calls()[2]}) {
        EXPECT_EQ(error.buttons, MessageButtons::Ok);
        EXPECT_EQ(error.parent, dialog.get());
    }
    EXPECT_EQ(ReadBytes(File("notes.dat")), "not settings");
}

} // namespace
} // namespace tidewell
