#pragma once

#include "core/remote/ListingEngine.h"
#include "core/app/MessageTypes.h"

#include <string>

namespace tidewell {

// What the engines and workers may ask of the window. They never see a widget;
// the window implements this on the GUI thread, and GuiThreadBridge carries a
// worker's calls there. Texts are UTF-8.
class WindowInterface {
public:
    virtual ~WindowInterface() = default;

    // A message box or question; returns one of MessageResult once the user
    // answered. From a worker it blocks until then.
    virtual int ShowMessageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                               MessageButtons buttons) = 0;
    // Busy (false) or idle (true).
    virtual void SetIdleState(bool idle) = 0;
    // The not-connected state.
    virtual void ShowLoggedOut() = 0;
    // The Transfer Status file-name field.
    virtual void SetFileNameText(const std::string& text) = 0;
    // A finished listing; the window shows it and leaves the busy state. This is
    // a worker's last call, so the window may join it on receipt.
    virtual void DeliverListing(ListingResult result) = 0;
};

} // namespace tidewell
