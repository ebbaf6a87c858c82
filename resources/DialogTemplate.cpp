#include "resources/DialogTemplate.h"
#include "resources/ResourceIds.h"

#include <array>

namespace tidewell::res {
namespace {

using K = ControlKind;

// Template 102: the main window, 447 by 303.
constexpr std::array kMainControls{
    ControlTemplate{IDC_STATIC, K::Icon, "", 5, 3, 20, 20, kStyleNone, IDI_APP},
    ControlTemplate{IDC_CANCEL_TRANSFER, K::PushButton, "&Cancel Transfer", 30, 4, 66, 14, kStyleNone, 0},
    ControlTemplate{IDC_VIEW_LOCAL_DISK, K::PushButton, "&View Local Disk", 101, 4, 66, 14, kStyleNone, 0},
    ControlTemplate{IDC_STATIC, K::GroupBox, "Ftp Site Selection", 6, 25, 211, 161, kStyleNone, 0},
    ControlTemplate{IDC_SITE_TABS, K::TabControl, "", 11, 40, 201, 121, kStyleNone, 0},
    ControlTemplate{IDC_LOGIN, K::PushButton, "&Login", 52, 166, 50, 14, kStyleNone, 0},
    ControlTemplate{IDC_LOGOUT, K::PushButton, "Log&out", 107, 166, 50, 14, kDisabled, 0},
    ControlTemplate{IDC_HOME, K::PushButton, "&Home", 162, 166, 50, 14, kDisabled, 0},
    ControlTemplate{IDC_STATIC, K::Static, "Download To", 6, 193, 45, 8, kStyleNone, 0},
    ControlTemplate{IDC_DOWNLOAD_FOLDER, K::Edit, "", 54, 190, 107, 15, kStyleNone, 0},
    ControlTemplate{IDC_BROWSE, K::PushButton, "&Browse", 166, 191, 50, 14, kStyleNone, 0},
    ControlTemplate{IDC_UPLOAD, K::PushButton, "&Upload", 111, 209, 50, 14, kDisabled, 0},
    ControlTemplate{IDC_DOWNLOAD, K::PushButton, "Do&wnload", 166, 209, 50, 14, kDisabled, 0},
    ControlTemplate{IDC_STATIC, K::GroupBox, "Transfer Status", 5, 224, 213, 76, kStyleNone, 0},
    ControlTemplate{IDC_ANIMATION, K::Animation, "", 8, 237, 17, 10, kStyleNone, IDR_TRANSFER_ANIMATION},
    ControlTemplate{IDC_STATIC, K::Static, "File:", 26, 237, 17, 13, kStyleNone, 0},
    ControlTemplate{IDC_FILE_NAME, K::Edit, "", 44, 237, 172, 13, kReadOnly | kNoBorder, 0},
    ControlTemplate{IDC_STATIC, K::Static, "Session:", 13, 251, 29, 9, kStyleNone, 0},
    ControlTemplate{IDC_SESSION_PROGRESS, K::ProgressBar, "", 44, 252, 115, 7, kStyleNone, 0},
    ControlTemplate{IDC_SESSION_PERCENT, K::Edit, "", 165, 251, 34, 12, kReadOnly | kNoBorder, 0},
    ControlTemplate{IDC_STATIC, K::Static, "File:", 13, 264, 30, 9, kStyleNone, 0},
    ControlTemplate{IDC_FILE_PROGRESS, K::ProgressBar, "", 44, 265, 115, 7, kStyleNone, 0},
    ControlTemplate{IDC_FILE_PERCENT, K::Edit, "", 165, 263, 34, 12, kReadOnly | kNoBorder, 0},
    ControlTemplate{IDC_BYTES, K::Edit, "", 165, 275, 50, 12, kReadOnly | kNoBorder, 0},
    ControlTemplate{IDC_STATIC, K::Static, "Throughput:", 13, 287, 41, 9, kStyleNone, 0},
    ControlTemplate{IDC_THROUGHPUT, K::Edit, "", 54, 287, 55, 12, kReadOnly | kNoBorder, 0},
    ControlTemplate{IDC_STATIC, K::Static, "Time Remaining:", 111, 287, 54, 9, kStyleNone, 0},
    ControlTemplate{IDC_TIME_REMAINING, K::Edit, "", 165, 287, 48, 12, kReadOnly | kNoBorder, 0},
    ControlTemplate{IDC_LISTING_GROUP, K::GroupBox, "Directory Listing", 224, 1, 219, 299, kStyleNone, 0},
    ControlTemplate{IDC_REMOTE_LIST, K::ListView, "", 230, 29, 207, 245, kDisabled, 0},
    ControlTemplate{IDC_DETAILS, K::CheckButton, "Details", 230, 280, 37, 14, kStyleNone, 0},
    ControlTemplate{IDC_UP, K::IconButton, "", 309, 280, 14, 14, kDisabled, IDI_UP},
    ControlTemplate{IDC_DELETE, K::PushButton, "&Delete File(s)", 330, 280, 50, 14, kDisabled, 0},
    ControlTemplate{IDC_NEW_DIR, K::PushButton, "&New Dir", 387, 280, 50, 14, kDisabled, 0},
    ControlTemplate{IDC_FILE_COUNT, K::Static, "File(s):", 230, 14, 47, 12, kStyleNone, 0},
    ControlTemplate{IDC_TOTAL_SIZE, K::Static, "Total Size:", 333, 14, 70, 12, kStyleNone, 0},
    ControlTemplate{IDC_DIR_COUNT, K::Static, "Dir(s):", 280, 14, 47, 12, kStyleNone, 0},
};

// Template 129: one site pane, 193 by 100, fields in tab order.
constexpr std::array kPaneControls{
    ControlTemplate{IDC_STATIC, K::Static, "FTP Address", 12, 14, 46, 8, kStyleNone, 0},
    ControlTemplate{IDC_ADDRESS, K::Edit, "", 60, 10, 126, 16, kStyleNone, 0},
    ControlTemplate{IDC_STATIC, K::Static, "Username", 12, 37, 46, 8, kStyleNone, 0},
    ControlTemplate{IDC_USERNAME, K::Edit, "", 60, 33, 126, 16, kStyleNone, 0},
    ControlTemplate{IDC_STATIC, K::Static, "Password", 12, 60, 46, 8, kStyleNone, 0},
    ControlTemplate{IDC_PASSWORD, K::Edit, "", 60, 56, 126, 16, kPassword, 0},
    ControlTemplate{IDC_STATIC, K::Static, "Directory", 12, 84, 46, 8, kStyleNone, 0},
    ControlTemplate{IDC_DIRECTORY, K::Edit, "", 60, 80, 126, 16, kStyleNone, 0},
};

// Template 148: the overwrite question, 292 by 135.
constexpr std::array kOverwriteControls{
    ControlTemplate{IDC_STATIC, K::Icon, "", 13, 12, 20, 20, kStyleNone, IDI_APP},
    ControlTemplate{IDC_STATIC, K::Static, "Overwrite the file:", 41, 16, 84, 8, kStyleNone, 0},
    ControlTemplate{IDC_OVERWRITE_FILE, K::Static, "", 41, 33, 237, 8, kStyleNone, 0},
    ControlTemplate{IDC_OVERWRITE_EXISTING, K::Static, "", 41, 51, 244, 8, kStyleNone, 0},
    ControlTemplate{IDC_STATIC, K::Static, "With the version you are transferring,", 41, 69, 147, 8,
                    kStyleNone, 0},
    ControlTemplate{IDC_OVERWRITE_INCOMING, K::Static, "", 41, 87, 244, 8, kStyleNone, 0},
    ControlTemplate{IDC_OVERWRITE_YES, K::PushButton, "&Yes", 34, 108, 50, 14, kStyleNone, 0},
    ControlTemplate{IDC_OVERWRITE_NO, K::PushButton, "&No", 92, 108, 50, 14, kStyleNone, 0},
    ControlTemplate{IDC_OVERWRITE_YES_TO_ALL, K::PushButton, "Yes To &All", 150, 108, 50, 14, kStyleNone, 0},
    ControlTemplate{IDC_OVERWRITE_CANCEL, K::PushButton, "&Cancel", 208, 108, 50, 14, kStyleNone, 0},
};

// Template 134: the completion notice, 165 by 68.
constexpr std::array kCompletionControls{
    ControlTemplate{IDC_STATIC, K::Icon, "", 13, 13, 21, 20, kStyleNone, IDI_APP},
    ControlTemplate{IDC_STATIC, K::Static, "FTP File Transfer Complete", 47, 19, 111, 8, kStyleNone, 0},
    ControlTemplate{IDOK, K::PushButton, "OK", 57, 47, 50, 14, kStyleNone, 0},
};

// Template 100: the About box, 235 by 93.
constexpr std::array kAboutControls{
    ControlTemplate{IDC_STATIC, K::Icon, "", 11, 17, 20, 20, kStyleNone, IDI_APP},
    ControlTemplate{IDC_STATIC, K::Static, "Tidewell Version 2.3", 44, 16, 119, 8, kStyleNone, 0},
    ControlTemplate{IDOK, K::PushButton, "OK", 178, 17, 50, 14, kStyleNone, 0},
    ControlTemplate{IDC_ABOUT_LINK, K::Static, "Check The Tidewell Website For Latest Releases", 44, 71, 184,
                    8, kStyleNone, 0},
};

// Template 143: the name of a new remote directory, 249 by 64.
constexpr std::array kCreateDirectoryControls{
    ControlTemplate{IDC_STATIC, K::Icon, "", 7, 7, 20, 20, kStyleNone, IDI_APP},
    ControlTemplate{IDC_STATIC, K::Static, "Enter Directory Name:", 36, 8, 90, 8, kStyleNone, 0},
    ControlTemplate{IDC_NEW_DIR_NAME, K::Edit, "", 36, 20, 206, 14, kStyleNone, 0},
    ControlTemplate{IDC_NEW_DIR_OK, K::PushButton, "OK", 136, 43, 50, 14, kStyleNone, 0},
    ControlTemplate{IDC_NEW_DIR_CANCEL, K::PushButton, "Cancel", 192, 43, 50, 14, kStyleNone, 0},
};

constexpr DialogTemplate kMainDialog{IDD_MAIN_DIALOG, "Tidewell", 447, 303, kMainControls};
constexpr DialogTemplate kTabPane{IDD_TAB_PANE, "", 193, 100, kPaneControls};
constexpr DialogTemplate kOverwriteDialog{IDD_OVERWRITE, "Overwrite File", 292, 135, kOverwriteControls};
constexpr DialogTemplate kCompletionDialog{IDD_COMPLETION, "Transfer Information", 165, 68,
                                           kCompletionControls};
constexpr DialogTemplate kAboutDialog{IDD_ABOUT, "About Tidewell", 235, 93, kAboutControls};
constexpr DialogTemplate kCreateDirectoryDialog{IDD_CREATE_DIRECTORY, "Create Directory", 249, 64,
                                                kCreateDirectoryControls};

// Menu 156.
constexpr std::array kMainMenu{
    MenuItemTemplate{"&File", ID_FILE_OPEN_PREFERENCES, "&Open FTP Preferences...", false, false},
    MenuItemTemplate{"&File", ID_FILE_SAVE_PREFERENCES, "&Save FTP Preferences", false, false},
    MenuItemTemplate{"&File", ID_FILE_SAVE_PREFERENCES_AS, "Save FTP Preferences &As...", false, false},
    MenuItemTemplate{"&File", 0, "", false, false},
    MenuItemTemplate{"&File", ID_FILE_SAVE_PASSWORDS, "Save &Passwords", true, true},
    MenuItemTemplate{"&File", 0, "", false, false},
    MenuItemTemplate{"&File", ID_FILE_EXIT, "E&xit", false, false},
    MenuItemTemplate{"&Help", ID_HELP, "Tidewell &Help", false, false},
    MenuItemTemplate{"&Help", ID_HELP_CONTENTS, "&Contents...", false, false},
    MenuItemTemplate{"&Help", 0, "", false, false},
    MenuItemTemplate{"&Help", ID_HELP_CONNECTION_LOG, "Connection &Log", false, false},
    MenuItemTemplate{"&Help", ID_HELP_TOOLTIPS, "&ToolTips", true, true},
    MenuItemTemplate{"&Help", 0, "", false, false},
    MenuItemTemplate{"&Help", IDC_ABOUT, "&About", false, false},
};

constexpr std::string_view kDragDropTip = "Select Files To Upload Via Drag && Drop Onto This Window";
constexpr std::array kTooltips{
    TooltipTemplate{IDC_UP, "Move Up One Directory Level"},
    TooltipTemplate{IDC_VIEW_LOCAL_DISK, kDragDropTip},
    TooltipTemplate{IDC_CANCEL_TRANSFER, "Cancel The Current File Transfer"},
    TooltipTemplate{IDC_DETAILS, "View The Remote File Details"},
    TooltipTemplate{IDC_DELETE, "Remove The Selected Remote Files"},
    TooltipTemplate{IDC_VIEW_LOCAL_DISK, kDragDropTip},
    TooltipTemplate{IDC_NEW_DIR, "Create A New Empty Directory On The Current Server"},
    TooltipTemplate{IDC_DOWNLOAD, "Download The Selected Remote Files"},
    TooltipTemplate{IDC_UPLOAD, "Select Local Files To Upload"},
    TooltipTemplate{IDC_LOGIN, "(Re)Connect To The Remote Server"},
    TooltipTemplate{IDC_LOGOUT, "Disconnect From The Remote Server"},
    TooltipTemplate{IDC_HOME, "Goto Your Home Directory On The Remote Server"},
    TooltipTemplate{IDC_BROWSE, "Select The Local Directory To Download To"},
    TooltipTemplate{IDC_REMOTE_LIST, "Drag && Drop Local Files To Upload"},
};

} // namespace

const DialogTemplate& MainDialogTemplate() {
    return kMainDialog;
}
const DialogTemplate& TabPaneTemplate() {
    return kTabPane;
}
const DialogTemplate& OverwriteDialogTemplate() {
    return kOverwriteDialog;
}
const DialogTemplate& CompletionDialogTemplate() {
    return kCompletionDialog;
}
const DialogTemplate& AboutDialogTemplate() {
    return kAboutDialog;
}
const DialogTemplate& CreateDirectoryDialogTemplate() {
    return kCreateDirectoryDialog;
}
std::span<const MenuItemTemplate> MainMenuTemplate() {
    return kMainMenu;
}
std::span<const TooltipTemplate> MainTooltips() {
    return kTooltips;
}

std::string_view LoadString(int id) {
    switch (id) {
    case IDS_SOCKETS_INIT_FAILED:
        return "Windows sockets initialization failed.";
    default:
        return {};
    }
}

} // namespace tidewell::res
