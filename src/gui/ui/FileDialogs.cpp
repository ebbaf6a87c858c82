#include "gui/ui/FileDialogs.h"

#include <QFileDialog>

namespace tidewell {
namespace {

QStringList ShowQtFileDialog(const FileDialogRequest& r) {
    auto single = [](const QString& path) { return path.isEmpty() ? QStringList{} : QStringList{path}; };
    switch (r.kind) {
    case FileDialogKind::OpenFile:
        return single(QFileDialog::getOpenFileName(r.parent, r.caption, r.directory, r.filter));
    case FileDialogKind::OpenFiles:
        return QFileDialog::getOpenFileNames(r.parent, r.caption, r.directory, r.filter);
    case FileDialogKind::SaveFile:
        return single(QFileDialog::getSaveFileName(r.parent, r.caption, r.directory, r.filter));
    case FileDialogKind::ChooseFolder:
        return single(QFileDialog::getExistingDirectory(r.parent, r.caption, r.directory));
    }
    return {};
}

FileDialogHook& CurrentHook() {
    static FileDialogHook hook = ShowQtFileDialog;
    return hook;
}

QString First(const QStringList& paths) {
    return paths.isEmpty() ? QString() : paths.front();
}

} // namespace

QStringList ShowFileDialog(const FileDialogRequest& request) {
    return CurrentHook()(request);
}

QString ChooseOpenFile(QWidget* parent, const QString& caption, const QString& directory,
                       const QString& filter) {
    return First(ShowFileDialog({FileDialogKind::OpenFile, parent, caption, directory, filter}));
}

QStringList ChooseOpenFiles(QWidget* parent, const QString& caption, const QString& directory,
                            const QString& filter) {
    return ShowFileDialog({FileDialogKind::OpenFiles, parent, caption, directory, filter});
}

QString ChooseSaveFile(QWidget* parent, const QString& caption, const QString& start, const QString& filter) {
    return First(ShowFileDialog({FileDialogKind::SaveFile, parent, caption, start, filter}));
}

QString ChooseFolder(QWidget* parent, const QString& caption, const QString& directory) {
    return First(ShowFileDialog({FileDialogKind::ChooseFolder, parent, caption, directory, {}}));
}

ScopedFileDialogHook::ScopedFileDialogHook(FileDialogHook hook)
    : ScopedHook(CurrentHook(), std::move(hook)) {}

} // namespace tidewell
