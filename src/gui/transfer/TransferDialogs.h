#pragma once

#include "core/app/TransferTypes.h"
#include "gui/ui/ScopedHook.h"

#include <functional>

class QWidget;

namespace tidewell {

// How the two dialogs of a transfer run are shown.
struct TransferDialogHook {
    std::function<OverwriteAnswer(QWidget* parent, const OverwriteQuestion& question)> askOverwrite;
    std::function<void(QWidget* parent)> showCompletion;
};

// Whether the file in question may be replaced. Modal over parent; call on the GUI thread.
OverwriteAnswer AskOverwrite(QWidget* parent, const OverwriteQuestion& question);
// Says that a run has ended. Modal over parent; call on the GUI thread.
void ShowCompletionNotice(QWidget* parent);

// Replaces how the two dialogs are shown while it lives (tests answer them), and
// puts the previous way back when it goes. A member left empty keeps the
// previous way for that dialog.
class ScopedTransferDialogHook : public ScopedHook<TransferDialogHook> {
public:
    explicit ScopedTransferDialogHook(TransferDialogHook hook);
};

} // namespace tidewell
