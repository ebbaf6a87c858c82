#pragma once

#include "gui/ui/ScopedHook.h"

#include <QDialog>

#include <functional>

class QPushButton;

namespace tidewell {

class LinkLabel;

// The About box (template 100): the application's name and version
// and a link to the product web page. OK, Enter, Escape and the close box end it.
class AboutDialog : public QDialog {
public:
    // The product web page the link opens.
    static constexpr const char* kProductUrl = "https://tidewell.example.org/";

    explicit AboutDialog(QWidget* parent = nullptr);

    LinkLabel* Link() const { return link_; }
    QPushButton* OkButton() const { return ok_; }

private:
    LinkLabel* link_ = nullptr;
    QPushButton* ok_ = nullptr;
};

// Help > About: builds a new About box over parent and runs it modally, so each
// opening starts with the link unvisited. Call on the GUI thread.
void ShowAboutBox(QWidget* parent);

// Runs a freshly built About box; the program's way is exec().
using AboutBoxHook = std::function<void(AboutDialog& dialog)>;

// Replaces how the About box is run while it lives (tests look at it and close
// it), and puts the previous way back when it goes.
class ScopedAboutBoxHook : public ScopedHook<AboutBoxHook> {
public:
    explicit ScopedAboutBoxHook(AboutBoxHook hook);
};

} // namespace tidewell
