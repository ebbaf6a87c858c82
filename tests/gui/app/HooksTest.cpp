// The one way the program shows message boxes and file dialogs, and how tests take it over.
#include "gui/ui/FileDialogs.h"
#include "gui/ui/MessageBox.h"

#include <gtest/gtest.h>

namespace tidewell {
namespace {

TEST(MessageHook, AnswersAndRestoresThePreviousHook) {
    std::vector<QString> outer;
    ScopedMessageHook first([&](const MessageRequest& r) {
        outer.push_back(r.text);
        return Answer::No;
    });
    {
        MessageRequest seen{};
        ScopedMessageHook second([&](const MessageRequest& r) {
            seen = r;
            return Answer::Yes;
        });
        EXPECT_EQ(ShowMessage(nullptr, "Q?", "QUESTION", MessageIcon::Question, MessageButtons::YesNo),
                  Answer::Yes);
        EXPECT_EQ(seen.text, "Q?");
        EXPECT_EQ(seen.caption, "QUESTION");
        EXPECT_EQ(seen.icon, MessageIcon::Question);
        EXPECT_EQ(seen.buttons, MessageButtons::YesNo);
    }
    EXPECT_EQ(ShowMessage(nullptr, "again", "INFORMATION", MessageIcon::Information), Answer::No);
    EXPECT_EQ(outer, std::vector<QString>{"again"});
}

TEST(FileDialogHook, EachKindReachesTheHook) {
    std::vector<FileDialogRequest> seen;
    ScopedFileDialogHook hook([&](const FileDialogRequest& r) {
        seen.push_back(r);
        return r.kind == FileDialogKind::SaveFile ? QStringList{} : QStringList{"/tmp/a", "/tmp/b"};
    });
    EXPECT_EQ(ChooseOpenFile(nullptr, "Open", "/tmp", "Settings (*.dat)"), "/tmp/a");
    EXPECT_EQ(ChooseOpenFiles(nullptr, "Upload", "/tmp", "All (*)"), (QStringList{"/tmp/a", "/tmp/b"}));
    EXPECT_EQ(ChooseSaveFile(nullptr, "Save As", "/tmp/x.dat", "Settings (*.dat)"), QString()); // cancelled
    EXPECT_EQ(ChooseFolder(nullptr, "Download To", "/tmp"), "/tmp/a");
    ASSERT_EQ(seen.size(), 4u);
    const FileDialogKind kinds[] = {FileDialogKind::OpenFile, FileDialogKind::OpenFiles,
                                    FileDialogKind::SaveFile, FileDialogKind::ChooseFolder};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(seen[i].kind, kinds[i]) << i;
    }
    EXPECT_EQ(seen[0].filter, "Settings (*.dat)");
    EXPECT_EQ(seen[2].directory, "/tmp/x.dat");
    EXPECT_EQ(seen[3].caption, "Download To");
}

} // namespace
} // namespace tidewell
