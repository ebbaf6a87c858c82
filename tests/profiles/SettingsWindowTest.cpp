// The File menu's profile commands, the settings file at start-up and at
// close, and the preferences, as the main window runs them.
#include "app/MainDialog.h"
#include "profiles/ArchiveString.h"
#include "profiles/DataLocations.h"
#include "profiles/ScopedEnvironment.h"
#include "profiles/SettingsDocument.h"
#include "profiles/SettingsFile.h"
#include "profiles/TabPane.h"
#include "resources/ResourceIds.h"
#include "support/MessageRecorder.h"
#include "ui/FileDialogs.h"
#include "ui/ListViewControl.h"
#include "ui/RemoteListModel.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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
using testing::TemporaryHome;

std::string ReadBytes(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll().toStdString();
}

void WriteBytes(const QString& path, const std::string& bytes) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

// One archive string as the byte table describes it, written without the program's writer.
std::string HandString(const std::string& text) {
    std::string out;
    if (text.size() < 0xFF) {
        out.push_back(static_cast<char>(text.size()));
    } else {
        out.push_back('\xFF');
        out.push_back(static_cast<char>(text.size() & 0xFF));
        out.push_back(static_cast<char>(text.size() >> 8));
    }
    return out + text;
}

std::string HandWrittenFile(const SiteProfiles& profiles) {
    std::string out("Tidewell V1.3 Settings", 22);
    out.push_back('\0');
    for (const SiteProfile& site : profiles) {
        std::string lowered = site.password;
        for (char& c : lowered) {
            c = static_cast<char>(static_cast<unsigned char>(c) - kPasswordShift);
        }
        out += HandString(site.address) + HandString(site.username) + HandString(lowered) +
               HandString(site.directory);
    }
    return out;
}

SiteProfiles Sample() {
    SiteProfiles profiles;
    profiles[0] = {"ftp.one.test", "anna", "s3cret~", "/pub"};
    profiles[2] = {"ftp.three.test", "carl", "", ""};
    profiles[6] = {"127.0.0.1", "anonymous", "guest@", "/" + std::string(300, 'd')};
    return profiles;
}

SiteProfiles Other() {
    SiteProfiles profiles;
    profiles[1] = {"ftp.two.test", "dora", "pw2", "/incoming"};
    return profiles;
}

void Type(MainDialog& dialog, int site, const SiteProfile& text) {
    TabPane* pane = dialog.Pane(site);
    pane->AddressEdit()->setText(QString::fromStdString(text.address));
    pane->UsernameEdit()->setText(QString::fromStdString(text.username));
    pane->PasswordEdit()->setText(QString::fromStdString(text.password));
    pane->DirectoryEdit()->setText(QString::fromStdString(text.directory));
}

void TypeAll(MainDialog& dialog, const SiteProfiles& profiles) {
    for (int i = 0; i < MainDialog::kSiteCount; ++i) {
        Type(dialog, i, profiles[static_cast<std::size_t>(i)]);
    }
}

SiteProfiles Fields(const MainDialog& dialog) {
    SiteProfiles shown;
    for (int i = 0; i < MainDialog::kSiteCount; ++i) {
        const TabPane* pane = dialog.Pane(i);
        shown[static_cast<std::size_t>(i)] = {
            pane->AddressEdit()->text().toStdString(), pane->UsernameEdit()->text().toStdString(),
            pane->PasswordEdit()->text().toStdString(), pane->DirectoryEdit()->text().toStdString()};
    }
    return shown;
}

SiteProfiles HeldProfiles(const MainDialog& dialog) {
    SiteProfiles held;
    for (int i = 0; i < MainDialog::kSiteCount; ++i) {
        held[static_cast<std::size_t>(i)] = dialog.Pane(i)->profile;
    }
    return held;
}

QString PlainTitle(const QString& path) {
    return "Tidewell - [" + path + "]";
}

// Answers the file dialogs from a script and records each request.
class FileDialogScript {
public:
    explicit FileDialogScript(std::deque<QString> answers)
        : answers_(std::move(answers)), hook_([this](const FileDialogRequest& request) {
              requests_.push_back(request);
              if (answers_.empty()) {
                  ADD_FAILURE() << "no scripted file dialog answer: " << request.caption.toStdString();
                  return QStringList{};
              }
              const QString answer = answers_.front();
              answers_.pop_front();
              return answer.isEmpty() ? QStringList{} : QStringList{answer};
          }) {}

    const std::vector<FileDialogRequest>& Requests() const { return requests_; }

private:
    std::deque<QString> answers_;
    std::vector<FileDialogRequest> requests_;
    ScopedFileDialogHook hook_;
};

void ExpectOpenRequest(const FileDialogRequest& request, MainDialog& dialog) {
    EXPECT_EQ(request.kind, FileDialogKind::OpenFile);
    EXPECT_EQ(request.filter, kProfileFileFilter);
    EXPECT_EQ(request.parent, &dialog);
}

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
    EXPECT_EQ(dialog->windowsDir, DataFolder());
    EXPECT_EQ(dialog->settingsPath, DefaultFile());
    EXPECT_EQ(ReadBytes(DefaultFile()).size(), 51u);
    EXPECT_EQ(ReadBytes(DefaultFile()), SettingsFile::Encode(SiteProfiles{}, true));
    EXPECT_EQ(dialog->Title(), PlainTitle(DefaultFile()));
    EXPECT_FALSE(dialog->AnySiteModified());
    EXPECT_TRUE(dialog->ControlAs<QLineEdit>(IDC_DOWNLOAD_FOLDER)->text().isEmpty());
    EXPECT_TRUE(dialog->tooltipsEnabled);
    EXPECT_TRUE(dialog->savePasswords);
}

TEST_F(SettingsWindowTest, StartUpShowsTheSitesOfTheDefaultFile) {
    WriteBytes(DefaultFile(), SettingsFile::Encode(Sample(), true));
    auto dialog = Start();
    EXPECT_EQ(Fields(*dialog), Sample());
    EXPECT_EQ(HeldProfiles(*dialog), Sample());
    EXPECT_EQ(dialog->Title(), PlainTitle(DefaultFile()));
}

TEST_F(SettingsWindowTest, AFileWrittenByHandAndOneWrittenByTheWindowLoadTheSame) {
    const QString byHand = File("hand.dat");
    WriteBytes(byHand, HandWrittenFile(Sample()));
    auto dialog = Start();

    TypeAll(*dialog, Sample());
    FileDialogScript dialogs({File("window.dat"), byHand, File("window.dat")});
    dialog->DispatchCommand(ID_FILE_SAVE_PREFERENCES_AS);
    EXPECT_EQ(ReadBytes(File("window.dat")), ReadBytes(byHand));

    TypeAll(*dialog, Other());
    MessageRecorder discard({IdNo, IdNo});
    dialog->DispatchCommand(ID_FILE_OPEN_PREFERENCES);
    EXPECT_EQ(Fields(*dialog), Sample());
    EXPECT_EQ(HeldProfiles(*dialog), Sample());

    TypeAll(*dialog, Other());
    dialog->DispatchCommand(ID_FILE_OPEN_PREFERENCES);
    EXPECT_EQ(Fields(*dialog), Sample());
    EXPECT_EQ(HeldProfiles(*dialog), Sample());
}

class OpenCommandTest : public SettingsWindowTest {
protected:
    void SetUp() override {
        WriteBytes(DefaultFile(), SettingsFile::Encode(Sample(), true));
        WriteBytes(File("other.dat"), SettingsFile::Encode(Other(), true));
        dialog = Start();
        // Loading at start-up leaves the sites it changed marked; start from a clean state.
        dialog->ClearSiteModified();
        dialog->Pane(3)->UsernameEdit()->setText("edited");
    }

    void ExpectSaveQuestion(const MessageRecorder& messages) {
        ASSERT_FALSE(messages.Calls().empty());
        const MessageRequest& asked = messages.Calls()[0];
        EXPECT_EQ(asked.text, "Save your current FTP preferences?");
        EXPECT_EQ(asked.caption, "Save FTP Preferences");
        EXPECT_EQ(asked.icon, MessageIcon::Question);
        EXPECT_EQ(asked.buttons, MessageButtons::YesNoCancel);
    }

    std::unique_ptr<MainDialog> dialog;
};

TEST_F(OpenCommandTest, CancelAtTheQuestionDoesNothing) {
    const std::string before = ReadBytes(DefaultFile());
    const QString title = dialog->Title();
    MessageRecorder messages({IdCancel});
    FileDialogScript dialogs({});
    dialog->DispatchCommand(ID_FILE_OPEN_PREFERENCES);
    ExpectSaveQuestion(messages);
    EXPECT_TRUE(dialogs.Requests().empty());
    EXPECT_EQ(dialog->settingsPath, DefaultFile());
    EXPECT_EQ(dialog->Pane(3)->UsernameEdit()->text(), "edited");
    EXPECT_TRUE(dialog->AnySiteModified());
    EXPECT_EQ(dialog->Title(), title);
    EXPECT_EQ(ReadBytes(DefaultFile()), before);
}

TEST_F(OpenCommandTest, NoDiscardsTheEditsAndLoadsTheChosenFile) {
    const std::string before = ReadBytes(DefaultFile());
    MessageRecorder messages({IdNo});
    FileDialogScript dialogs({File("other.dat")});
    dialog->DispatchCommand(ID_FILE_OPEN_PREFERENCES);
    ExpectSaveQuestion(messages);
    ASSERT_EQ(dialogs.Requests().size(), 1u);
    ExpectOpenRequest(dialogs.Requests()[0], *dialog);
    EXPECT_EQ(ReadBytes(DefaultFile()), before);
    EXPECT_EQ(dialog->settingsPath, File("other.dat"));
    EXPECT_EQ(Fields(*dialog), Other());
    EXPECT_FALSE(dialog->AnySiteModified());
    EXPECT_EQ(dialog->Title(), PlainTitle(File("other.dat")));
}

TEST_F(OpenCommandTest, YesSavesTheEditsFirst) {
    MessageRecorder messages({IdYes});
    FileDialogScript dialogs({File("other.dat")});
    dialog->DispatchCommand(ID_FILE_OPEN_PREFERENCES);
    ExpectSaveQuestion(messages);
    SiteProfiles saved = Sample();
    saved[3].username = "edited";
    EXPECT_EQ(ReadBytes(DefaultFile()), SettingsFile::Encode(saved, true));
    EXPECT_EQ(dialog->settingsPath, File("other.dat"));
    EXPECT_EQ(Fields(*dialog), Other());
}

TEST_F(OpenCommandTest, YesThenCancelledDialogKeepsTheSavedFileCurrent) {
    MessageRecorder messages({IdYes});
    FileDialogScript dialogs({QString()});
    dialog->DispatchCommand(ID_FILE_OPEN_PREFERENCES);
    EXPECT_EQ(dialog->settingsPath, DefaultFile());
    EXPECT_FALSE(dialog->AnySiteModified());
    EXPECT_EQ(dialog->Title(), PlainTitle(DefaultFile()));
    EXPECT_EQ(dialog->Pane(3)->UsernameEdit()->text(), "edited");
}

TEST_F(OpenCommandTest, AValidFileLogsOutAndShowsTheNewTitle) {
    dialog->ClearSiteModified();
    dialog->connected = true;
    dialog->SetIdleState(true);
    ListingResult listing;
    listing.connected = true;
    listing.rows.push_back({"readme.txt", listing.files.AddFile("readme.txt", 0, 1, "Text"), {}, {}});
    dialog->RemoteList()->Model()->SetListing(std::move(listing));
    ASSERT_EQ(dialog->ControlAs<QPushButton>(IDC_LOGIN)->text(), "&Refresh");

    MessageRecorder messages;
    FileDialogScript dialogs({File("other.dat")});
    dialog->DispatchCommand(ID_FILE_OPEN_PREFERENCES);
    EXPECT_TRUE(messages.Calls().empty());
    EXPECT_FALSE(dialog->connected);
    EXPECT_EQ(dialog->RemoteList()->Model()->rowCount(), 0);
    EXPECT_EQ(dialog->ControlAs<QPushButton>(IDC_LOGIN)->text(), "&Login");
    EXPECT_FALSE(dialog->Control(IDC_LOGOUT)->isEnabled());
    EXPECT_FALSE(dialog->AnySiteModified());
    EXPECT_EQ(dialog->Title(), PlainTitle(File("other.dat")));
    EXPECT_EQ(dialog->settingsPath, File("other.dat"));
}

TEST_F(OpenCommandTest, AFileThatDoesNotLoadChangesNothing) {
    std::string cutShort(kSettingsHeader);
    cutShort += "\x05"
                "ab";
    const struct {
        const char* name;
        std::string bytes;
        bool invalidFileMessage;
    } cases[] = {
        {"notes.dat", "just some text\n", true},
        {"short.dat", "Tidewell", true},
        {"cut.dat", cutShort, false},
    };
    dialog->ClearSiteModified();
    dialog->SetPlainTitle();
    dialog->connected = true;
    dialog->SetIdleState(true);
    dialog->Pane(3)->UsernameEdit()->setText("edited again");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = File(c.name);
        WriteBytes(path, c.bytes);
        const SiteProfiles fields = Fields(*dialog);
        const SiteProfiles held = HeldProfiles(*dialog);
        const QString title = dialog->Title();

        MessageRecorder messages({IdNo});
        FileDialogScript dialogs({path});
        dialog->DispatchCommand(ID_FILE_OPEN_PREFERENCES);
        ASSERT_EQ(messages.Calls().size(), 2u);
        const MessageRequest& error = messages.Calls()[1];
        EXPECT_EQ(error.caption, "ERROR");
        EXPECT_EQ(error.icon, MessageIcon::Stop);
        EXPECT_EQ(error.buttons, MessageButtons::Ok);
        EXPECT_EQ(error.parent, dialog.get());
        if (c.invalidFileMessage) {
            EXPECT_EQ(error.text, "File \"" + path + "\" is not a valid Tidewell settings file");
        }
        EXPECT_EQ(dialog->settingsPath, DefaultFile());
        EXPECT_EQ(Fields(*dialog), fields);
        EXPECT_EQ(HeldProfiles(*dialog), held);
        EXPECT_EQ(dialog->Title(), title);
        EXPECT_TRUE(dialog->AnySiteModified());
        // The connection is left as it was.
        EXPECT_TRUE(dialog->connected);
    }
}

TEST_F(OpenCommandTest, IsRefusedWhileBusy) {
    dialog->ClearSiteModified();
    dialog->SetIdleState(false);
    EXPECT_FALSE(dialog->MenuAction(ID_FILE_OPEN_PREFERENCES)->isEnabled());
    // The default hooks fail the test on any question or dialog.
    dialog->DispatchCommand(ID_FILE_OPEN_PREFERENCES);
    EXPECT_EQ(dialog->settingsPath, DefaultFile());
    dialog->SetIdleState(true);
}

TEST_F(SettingsWindowTest, SaveWritesWhatTheFieldsShowAndClearsTheMarker) {
    auto dialog = Start();
    Type(*dialog, 4, {"ftp.five.test", "eve", "pw5", "/five"});
    ASSERT_TRUE(dialog->Title().endsWith(" *]"));
    dialog->DispatchCommand(ID_FILE_SAVE_PREFERENCES);
    SiteProfiles expected;
    expected[4] = {"ftp.five.test", "eve", "pw5", "/five"};
    EXPECT_EQ(ReadBytes(DefaultFile()), SettingsFile::Encode(expected, true));
    EXPECT_EQ(HeldProfiles(*dialog), expected);
    EXPECT_FALSE(dialog->AnySiteModified());
    EXPECT_EQ(dialog->Title(), PlainTitle(DefaultFile()));
}

TEST_F(SettingsWindowTest, SaveWithPasswordsOffWritesThemEmpty) {
    auto dialog = Start();
    dialog->DispatchCommand(ID_FILE_SAVE_PASSWORDS);
    ASSERT_FALSE(dialog->savePasswords);
    TypeAll(*dialog, Sample());
    dialog->DispatchCommand(ID_FILE_SAVE_PREFERENCES);
    EXPECT_EQ(ReadBytes(DefaultFile()), SettingsFile::Encode(SettingsFile::WithoutPasswords(Sample()), true));
    EXPECT_EQ(HeldProfiles(*dialog), SettingsFile::WithoutPasswords(Sample()));
    // The fields keep what was typed.
    EXPECT_EQ(Fields(*dialog), Sample());
}

TEST_F(SettingsWindowTest, SaveAsAddsTheSuffixAndMakesTheFileCurrent) {
    auto dialog = Start();
    Type(*dialog, 0, {"ftp.one.test", "anna", "pw", ""});
    FileDialogScript dialogs({File("mine")});
    dialog->DispatchCommand(ID_FILE_SAVE_PREFERENCES_AS);
    ASSERT_EQ(dialogs.Requests().size(), 1u);
    EXPECT_EQ(dialogs.Requests()[0].kind, FileDialogKind::SaveFile);
    EXPECT_EQ(dialogs.Requests()[0].filter, kProfileFileFilter);
    EXPECT_FALSE(QFileInfo::exists(File("mine")));
    SiteProfiles expected;
    expected[0] = {"ftp.one.test", "anna", "pw", ""};
    EXPECT_EQ(ReadBytes(File("mine.dat")), SettingsFile::Encode(expected, true));
    EXPECT_EQ(dialog->settingsPath, File("mine.dat"));
    EXPECT_FALSE(dialog->AnySiteModified());
    EXPECT_EQ(dialog->Title(), PlainTitle(File("mine.dat")));
    // The default file keeps the empty sites it was created with.
    EXPECT_EQ(ReadBytes(DefaultFile()), SettingsFile::Encode(SiteProfiles{}, true));
}

TEST_F(SettingsWindowTest, SaveAsKeepsASuffixThatWasTypedAndLooksOnlyAtTheFileName) {
    auto dialog = Start();
    ASSERT_TRUE(QDir().mkpath(File("v1.2")));
    FileDialogScript dialogs({File("mine.dat"), File("backup.bak"), File("v1.2/mine")});
    dialog->DispatchCommand(ID_FILE_SAVE_PREFERENCES_AS);
    EXPECT_EQ(dialog->settingsPath, File("mine.dat"));
    dialog->DispatchCommand(ID_FILE_SAVE_PREFERENCES_AS);
    EXPECT_EQ(dialog->settingsPath, File("backup.bak"));
    EXPECT_TRUE(QFileInfo::exists(File("backup.bak")));
    EXPECT_FALSE(QFileInfo::exists(File("backup.bak.dat")));
    // A dot in a folder name is no suffix of the file.
    dialog->DispatchCommand(ID_FILE_SAVE_PREFERENCES_AS);
    EXPECT_EQ(dialog->settingsPath, File("v1.2/mine.dat"));
}

TEST_F(SettingsWindowTest, SaveAsAsksBeforeReplacingTheFileTheSuffixNames) {
    WriteBytes(File("mine.dat"), SettingsFile::Encode(Other(), true));
    auto dialog = Start();
    Type(*dialog, 0, {"ftp.one.test", "anna", "pw", ""});
    FileDialogScript dialogs({File("mine"), File("mine")});
    {
        MessageRecorder messages({IdNo});
        dialog->DispatchCommand(ID_FILE_SAVE_PREFERENCES_AS);
        ASSERT_EQ(messages.Calls().size(), 1u);
        EXPECT_EQ(messages.Calls()[0].buttons, MessageButtons::YesNo);
        EXPECT_TRUE(messages.Calls()[0].text.startsWith(File("mine.dat") + " already exists."));
        EXPECT_EQ(ReadBytes(File("mine.dat")), SettingsFile::Encode(Other(), true));
        EXPECT_EQ(dialog->settingsPath, DefaultFile());
        EXPECT_TRUE(dialog->AnySiteModified());
    }
    MessageRecorder messages({IdYes});
    dialog->DispatchCommand(ID_FILE_SAVE_PREFERENCES_AS);
    EXPECT_EQ(dialog->settingsPath, File("mine.dat"));
    EXPECT_EQ(Fields(*dialog), HeldProfiles(*dialog));
    EXPECT_EQ(ReadBytes(File("mine.dat")), SettingsFile::Encode(HeldProfiles(*dialog), true));
}

TEST_F(SettingsWindowTest, SaveAsCancelledChangesNothing) {
    auto dialog = Start();
    Type(*dialog, 0, {"ftp.one.test", "", "", ""});
    FileDialogScript dialogs({QString()});
    dialog->DispatchCommand(ID_FILE_SAVE_PREFERENCES_AS);
    EXPECT_EQ(dialog->settingsPath, DefaultFile());
    EXPECT_TRUE(dialog->AnySiteModified());
    EXPECT_TRUE(dialog->Title().endsWith(" *]"));
    EXPECT_EQ(ReadBytes(DefaultFile()), SettingsFile::Encode(SiteProfiles{}, true));
}

TEST_F(SettingsWindowTest, SaveAsIntoAMissingFolderIsReportedAndKeepsTheCurrentFile) {
    auto dialog = Start();
    Type(*dialog, 0, {"ftp.one.test", "", "", ""});
    MessageRecorder messages;
    FileDialogScript dialogs({File("missing/folder/mine.dat")});
    dialog->DispatchCommand(ID_FILE_SAVE_PREFERENCES_AS);
    ASSERT_EQ(messages.Calls().size(), 1u);
    EXPECT_EQ(messages.Calls()[0].caption, "ERROR");
    EXPECT_EQ(dialog->settingsPath, DefaultFile());
    EXPECT_TRUE(dialog->AnySiteModified());
    EXPECT_TRUE(dialog->Title().endsWith(" *]"));
}

TEST_F(SettingsWindowTest, TheNextStartOpensTheFileSavedAs) {
    {
        auto dialog = Start();
        TypeAll(*dialog, Sample());
        FileDialogScript dialogs({File("mine.dat")});
        dialog->DispatchCommand(ID_FILE_SAVE_PREFERENCES_AS);
        Exit(*dialog, IdNo);
    }
    auto dialog = Start();
    EXPECT_EQ(dialog->settingsPath, File("mine.dat"));
    EXPECT_EQ(Fields(*dialog), Sample());
    EXPECT_EQ(dialog->Title(), PlainTitle(File("mine.dat")));
}

TEST_F(SettingsWindowTest, PreferencesAreWrittenWhenTheExitQuestionIsAnsweredNo) {
    {
        auto dialog = Start();
        dialog->ControlAs<QLineEdit>(IDC_DOWNLOAD_FOLDER)->setText(File("downloads"));
        dialog->DispatchCommand(ID_HELP_TOOLTIPS);
        dialog->DispatchCommand(ID_FILE_SAVE_PASSWORDS);
        Type(*dialog, 1, {"ftp.two.test", "", "", ""});
        Exit(*dialog, IdNo);
        // The sites were not saved.
        EXPECT_EQ(ReadBytes(DefaultFile()), SettingsFile::Encode(SiteProfiles{}, true));
    }
    auto dialog = Start();
    EXPECT_EQ(dialog->ControlAs<QLineEdit>(IDC_DOWNLOAD_FOLDER)->text(), File("downloads"));
    EXPECT_FALSE(dialog->tooltipsEnabled);
    EXPECT_FALSE(dialog->MenuAction(ID_HELP_TOOLTIPS)->isChecked());
    EXPECT_FALSE(dialog->savePasswords);
    EXPECT_FALSE(dialog->MenuAction(ID_FILE_SAVE_PASSWORDS)->isChecked());
    EXPECT_EQ(dialog->settingsPath, DefaultFile());
    EXPECT_EQ(Fields(*dialog), SiteProfiles{});
}

TEST_F(SettingsWindowTest, ExitAnsweredYesSavesWhatTheFieldsShow) {
    {
        auto dialog = Start();
        TypeAll(*dialog, Sample());
        Exit(*dialog, IdYes);
    }
    EXPECT_EQ(ReadBytes(DefaultFile()), SettingsFile::Encode(Sample(), true));
    auto dialog = Start();
    EXPECT_EQ(Fields(*dialog), Sample());
}

TEST_F(SettingsWindowTest, AFailedSaveAtExitIsReported) {
    auto dialog = Start();
    TypeAll(*dialog, Sample());
    ASSERT_TRUE(QFile::remove(DefaultFile()));
    ASSERT_TRUE(QDir().rmdir(DataFolder()));
    // A file in the folder's place: the settings file cannot be created below it.
    WriteBytes(DataFolder(), "not a folder");
    MessageRecorder messages({IdYes});
    dialog->DispatchCommand(ID_FILE_EXIT);
    ASSERT_EQ(messages.Calls().size(), 2u);
    EXPECT_EQ(messages.Calls()[1].caption, "ERROR");
    EXPECT_EQ(messages.Calls()[1].parent, dialog.get());
}

TEST_F(SettingsWindowTest, AnInvalidSettingsFileAtStartUpFallsBackToTheDefaultFile) {
    {
        auto dialog = Start();
        FileDialogScript dialogs({File("notes.dat")});
        dialog->DispatchCommand(ID_FILE_SAVE_PREFERENCES_AS);
        Exit(*dialog, IdNo);
    }
    WriteBytes(File("notes.dat"), "not settings");
    MessageRecorder messages;
    auto dialog = Start();
    ASSERT_EQ(messages.Calls().size(), 1u);
    EXPECT_EQ(messages.Calls()[0].text,
              "File \"" + File("notes.dat") + "\" is not a valid Tidewell settings file");
    EXPECT_EQ(dialog->settingsPath, DefaultFile());
    EXPECT_EQ(dialog->Title(), PlainTitle(DefaultFile()));
    dialog->done(QDialog::Rejected);
    EXPECT_EQ(ReadBytes(File("notes.dat")), "not settings");
}

} // namespace
} // namespace tidewell
