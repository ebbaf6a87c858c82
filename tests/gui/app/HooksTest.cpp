// The one way the program shows message boxes and file dialogs, and the scoped
// hooks through which tests take them over.
#include "gui/ui/FileDialogs.h"
#include "gui/ui/MessageBox.h"

#include <gtest/gtest.h>

namespace tidewell {
namespace {

// What reaches the hook is checked through the recorder in the window tests.
TEST(MessageHook, TheInnermostHookAnswersAndThePreviousOneComesBack) {
    std::vector<QString> outer;
    ScopedMessageHook first([&](const MessageRequest& r) {
        outer.push_back(r.text);
        return Answer::No;
    });
    {
        ScopedMessageHook second([](const MessageRequest&) { return Answer::Yes; });
        EXPECT_EQ(ShowMessage(nullptr, "Q?", "QUESTION", MessageIcon::Question, MessageButtons::YesNo),
                  Answer::Yes);
    }
    EXPECT_EQ(ShowMessage(nullptr, "again", "INFORMATION", MessageIcon::Information), Answer::No);
    EXPECT_EQ(outer, std::vector<QString>{"again"});
}

// Restoring is ScopedHook's, checked above; here each kind of dialog is asked for.
TEST(FileDialogHook, EachKindReachesTheHookAndItsAnswerComesBack) {
    std::vector<std::pair<FileDialogKind, QString>> seen;
    ScopedFileDialogHook hook([&](const FileDialogRequest& r) {
        seen.emplace_back(r.kind, r.caption + ": " + r.filter);
        return r.kind == FileDialogKind::SaveFile ? QStringList{} : QStringList{"/tmp/a", "/tmp/b"};
    });
    EXPECT_EQ(ChooseOpenFile(nullptr, "Open", "/tmp", "Settings (*.dat)"), "/tmp/a");
    EXPECT_EQ(ChooseOpenFiles(nullptr, "Upload", "/tmp", "All (*)"), (QStringList{"/tmp/a", "/tmp/b"}));
    EXPECT_EQ(ChooseSaveFile(nullptr, "Save As", "/tmp/x.dat", "Settings (*.dat)"), QString()); // cancelled
    EXPECT_EQ(ChooseFolder(nullptr, "Download To", "/tmp"), "/tmp/a");
    const decltype(seen) expected = {{FileDialogKind::OpenFile, "Open: Settings (*.dat)"},
                                     {FileDialogKind::OpenFiles, "Upload: All (*)"},
                                     {FileDialogKind::SaveFile, "Save As: Settings (*.dat)"},
                                     {FileDialogKind::ChooseFolder, "Download To: "}};
    EXPECT_EQ(seen, expected);
}

} // namespace
} // namespace tidewell
