#pragma once

#include "gui/ui/ScopedHook.h"

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace tidewell {

enum class FileDialogKind { OpenFile, OpenFiles, SaveFile, ChooseFolder };

struct FileDialogRequest {
    FileDialogKind kind;
    QWidget* parent;
    QString caption;
    QString directory; // start folder, or start file for SaveFile
    QString filter;    // Qt name filter, e.g. "Settings (*.dat)"; unused for folders
};

// The chosen paths; empty when the user cancelled.
using FileDialogHook = std::function<QStringList(const FileDialogRequest&)>;

// Every file and folder dialog of the program goes through here. Call on the GUI thread.
QStringList ShowFileDialog(const FileDialogRequest& request);

// Empty when cancelled.
QString ChooseOpenFile(QWidget* parent, const QString& caption, const QString& directory,
                       const QString& filter);
QStringList ChooseOpenFiles(QWidget* parent, const QString& caption, const QString& directory,
                            const QString& filter);
QString ChooseSaveFile(QWidget* parent, const QString& caption, const QString& start, const QString& filter);
QString ChooseFolder(QWidget* parent, const QString& caption, const QString& directory);

// Replaces how file dialogs are shown while it lives; restores the previous way.
class ScopedFileDialogHook : public ScopedHook<FileDialogHook> {
public:
    explicit ScopedFileDialogHook(FileDialogHook hook);
};

} // namespace tidewell
