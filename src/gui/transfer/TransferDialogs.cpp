#include "gui/transfer/TransferDialogs.h"

#include "gui/transfer/CompletionDialog.h"
#include "gui/transfer/OverwriteDialog.h"

namespace tidewell {
namespace {

OverwriteAnswer AskWithDialog(QWidget* parent, const OverwriteQuestion& question) {
    OverwriteDialog dialog(parent);
    dialog.SetTexts(question);
    return dialog.Ask();
}

void ShowCompletionDialog(QWidget* parent) {
    CompletionDialog dialog(parent);
    dialog.exec();
}

TransferDialogHook& CurrentHook() {
    static TransferDialogHook hook{AskWithDialog, ShowCompletionDialog};
    return hook;
}

} // namespace

OverwriteAnswer AskOverwrite(QWidget* parent, const OverwriteQuestion& question) {
    return CurrentHook().askOverwrite(parent, question);
}

void ShowCompletionNotice(QWidget* parent) {
    CurrentHook().showCompletion(parent);
}

ScopedTransferDialogHook::ScopedTransferDialogHook(TransferDialogHook hook) : previous_(CurrentHook()) {
    if (!hook.askOverwrite) {
        hook.askOverwrite = previous_.askOverwrite;
    }
    if (!hook.showCompletion) {
        hook.showCompletion = previous_.showCompletion;
    }
    CurrentHook() = std::move(hook);
}

ScopedTransferDialogHook::~ScopedTransferDialogHook() {
    CurrentHook() = std::move(previous_);
}

} // namespace tidewell
