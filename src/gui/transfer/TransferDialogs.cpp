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

// A member the new hook leaves empty keeps the current way for that dialog.
TransferDialogHook KeepingUnsetWays(TransferDialogHook hook, const TransferDialogHook& current) {
    if (!hook.askOverwrite) {
        hook.askOverwrite = current.askOverwrite;
    }
    if (!hook.showCompletion) {
        hook.showCompletion = current.showCompletion;
    }
    return hook;
}

} // namespace

OverwriteAnswer AskOverwrite(QWidget* parent, const OverwriteQuestion& question) {
    return CurrentHook().askOverwrite(parent, question);
}

void ShowCompletionNotice(QWidget* parent) {
    CurrentHook().showCompletion(parent);
}

ScopedTransferDialogHook::ScopedTransferDialogHook(TransferDialogHook hook)
    : ScopedHook(CurrentHook(), KeepingUnsetWays(std::move(hook), CurrentHook())) {}

} // namespace tidewell
