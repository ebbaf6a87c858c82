#pragma once

#include <QString>
#include <QStringList>

// The rules of opening a hyperlink that need no window: the result
// codes and their texts, and how the desktop's registered web-browser command
// is turned into the command that opens one address.
namespace tidewell::hyperlink {

// Results of opening an address, as the shell always gave them: above 32 is
// success, 32 and below an error code.
inline constexpr int kOpened = 33;
inline constexpr int kOutOfResources = 0;
inline constexpr int kFileNotFound = 2;
inline constexpr int kAccessDenied = 5;
inline constexpr int kNoAssociation = 31;

inline bool Succeeded(int result) {
    return result > 32;
}

// The text for an error code, "Unknown Error (<code>) occurred." for a code
// the table does not name. "\n" in a text is a line break.
QString OpenErrorText(int code);
// "Unable to open hyperlink:", an empty line, then the text for the code.
QString OpenErrorMessage(int code);

// The "%1" rule, with the placeholders of a desktop entry's Exec line (%u, %U,
// %f, %F, and %1 itself): the command line is cut at the first placeholder
// enclosed in double quotes; failing that, at the first bare placeholder
// ("%%" is an escaped percent sign, never a placeholder); failing that, it is
// kept whole. Everything from the cut on is dropped.
QString CutAtPlaceholder(const QString& commandLine);

// The program and arguments that open address with a registered Exec line:
// the line cut by the rule above, split into words by the desktop entry's
// quoting, field codes left before the cut dropped, and the address appended
// as one word of its own. Empty when no program is left.
QStringList BrowserCommand(const QString& execLine, const QString& address);

// The Exec value of the [Desktop Entry] group of a .desktop file's text, with
// the value escapes (\s, \n, \t, \r, \\) resolved; empty when there is none.
QString DesktopEntryExec(const QString& desktopFile);

// The desktop-file ids listed for mimeType under [Default Applications] in a
// mimeapps.list (or defaults.list) text, in their order.
QStringList MimeAppsDefaults(const QString& mimeAppsList, const QString& mimeType);

} // namespace tidewell::hyperlink
