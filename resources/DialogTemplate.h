#pragma once

#include <span>
#include <string_view>

// Dialog templates as data: every control with its id, kind, text and place in
// dialog units. The window code builds real widgets from these tables.
namespace tidewell::res {

enum class ControlKind {
    Icon, // a picture of an icon resource
    PushButton,
    IconButton,  // a push button that shows an icon resource instead of text
    CheckButton, // a check box drawn as a push button
    GroupBox,
    Static,
    Edit,
    TabControl,
    ListView,
    ProgressBar,
    Animation,
};

// Style notes that change how a control is built.
enum ControlStyle : unsigned {
    kStyleNone = 0,
    kDisabled = 1u << 0,
    kReadOnly = 1u << 1,
    kNoBorder = 1u << 2,
    kPassword = 1u << 3,
};

struct ControlTemplate {
    int id;
    ControlKind kind;
    std::string_view text;
    int x, y, w, h;
    unsigned style;
    int resource; // icon or animation resource, 0 for none
};

struct DialogTemplate {
    int id;
    std::string_view caption;
    int width, height;
    std::span<const ControlTemplate> controls;
};

struct MenuItemTemplate {
    std::string_view menu; // title of the drop-down menu the item belongs to
    int id;                // 0 for a separator
    std::string_view text;
    bool checkable;
    bool checked;
};

// "&&" in a tooltip text stands for one "&".
struct TooltipTemplate {
    int controlId;
    std::string_view text;
};

const DialogTemplate& MainDialogTemplate();
const DialogTemplate& TabPaneTemplate();
const DialogTemplate& OverwriteDialogTemplate();
const DialogTemplate& CompletionDialogTemplate();
const DialogTemplate& AboutDialogTemplate();
const DialogTemplate& CreateDirectoryDialogTemplate();
std::span<const MenuItemTemplate> MainMenuTemplate();
// In registration order.
std::span<const TooltipTemplate> MainTooltips();

// The string table.
std::string_view LoadString(int id);

} // namespace tidewell::res
