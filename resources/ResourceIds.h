#pragma once

// Numeric ids of the windows, controls, menu commands, icons and strings.
// Other code and saved state refer to these numbers, so they never change.
namespace tidewell::res {

// Templates and menus.
inline constexpr int IDD_ABOUT = 100;
inline constexpr int IDD_MAIN_DIALOG = 102;
inline constexpr int IDD_TAB_PANE = 129;
inline constexpr int IDD_COMPLETION = 134;
inline constexpr int IDD_CREATE_DIRECTORY = 143;
inline constexpr int IDD_OVERWRITE = 148;
inline constexpr int IDR_MAIN_MENU = 156;

// Icons and the animation.
inline constexpr int IDI_APP = 128;
inline constexpr int IDI_FOLDER = 135;
inline constexpr int IDI_FILE = 136;
inline constexpr int IDR_TRANSFER_ANIMATION = 142;
inline constexpr int IDI_UP = 146;
// Beside the listing counters while the connection is encrypted.
inline constexpr int IDI_PADLOCK = 147;

// Strings.
inline constexpr int IDS_SOCKETS_INIT_FAILED = 103;

// A control that is never looked up.
inline constexpr int IDC_STATIC = -1;

// Controls of the main window.
inline constexpr int IDC_SITE_TABS = 1000;
inline constexpr int IDC_UP = 1006;
inline constexpr int IDC_ABOUT = 1007;
inline constexpr int IDC_REMOTE_LIST = 1009;
inline constexpr int IDC_DOWNLOAD_FOLDER = 1010;
inline constexpr int IDC_FILE_NAME = 1011;
inline constexpr int IDC_ANIMATION = 1015;
inline constexpr int IDC_SESSION_PROGRESS = 1016;
inline constexpr int IDC_SESSION_PERCENT = 1017;
inline constexpr int IDC_FILE_PROGRESS = 1018;
inline constexpr int IDC_FILE_PERCENT = 1019;
inline constexpr int IDC_BYTES = 1020;
inline constexpr int IDC_TIME_REMAINING = 1021;
inline constexpr int IDC_THROUGHPUT = 1022;
inline constexpr int IDC_DETAILS = 1023;
inline constexpr int IDC_LISTING_GROUP = 1035;
inline constexpr int IDC_VIEW_LOCAL_DISK = 1038;
inline constexpr int IDC_FILE_COUNT = 1039;
inline constexpr int IDC_TOTAL_SIZE = 1040;
inline constexpr int IDC_DIR_COUNT = 1042;
inline constexpr int IDC_DELETE = 57671;
inline constexpr int IDC_LOGIN = 57672;
inline constexpr int IDC_BROWSE = 57673;
inline constexpr int IDC_DOWNLOAD = 57674;
inline constexpr int IDC_HOME = 57675;
inline constexpr int IDC_CANCEL_TRANSFER = 57676;
inline constexpr int IDC_NEW_DIR = 57677;
inline constexpr int IDC_LOGOUT = 57678;
inline constexpr int IDC_UPLOAD = 57679;

// Controls of a site pane.
inline constexpr int IDC_ADDRESS = 1004;
inline constexpr int IDC_USERNAME = 1005;
inline constexpr int IDC_PASSWORD = 1006;
inline constexpr int IDC_DIRECTORY = 1007;

// Controls of the overwrite question and the completion notice.
inline constexpr int IDOK = 1;
inline constexpr int IDC_OVERWRITE_YES = 6;
inline constexpr int IDC_OVERWRITE_NO = 7;
inline constexpr int IDC_OVERWRITE_YES_TO_ALL = 1006;
inline constexpr int IDC_OVERWRITE_FILE = 1030;
inline constexpr int IDC_OVERWRITE_EXISTING = 1031;
inline constexpr int IDC_OVERWRITE_INCOMING = 1032;
inline constexpr int IDC_OVERWRITE_CANCEL = 1033;

// Controls of the create-directory dialog.
inline constexpr int IDC_NEW_DIR_NAME = 1024;
inline constexpr int IDC_NEW_DIR_OK = 1006;
inline constexpr int IDC_NEW_DIR_CANCEL = 1007;

// Controls of the About box.
inline constexpr int IDC_ABOUT_LINK = 1029;

// Menu commands.
inline constexpr int ID_HELP_CONTENTS = 32786;
inline constexpr int ID_FILE_EXIT = 32788;
inline constexpr int ID_HELP_TOOLTIPS = 32789;
inline constexpr int ID_FILE_OPEN_PREFERENCES = 32790;
inline constexpr int ID_FILE_SAVE_PREFERENCES_AS = 32791;
inline constexpr int ID_FILE_SAVE_PREFERENCES = 32792;
inline constexpr int ID_FILE_SAVE_PASSWORDS = 32793;
inline constexpr int ID_HELP_CONNECTION_LOG = 32794;
inline constexpr int ID_HELP = 57670;

} // namespace tidewell::res
