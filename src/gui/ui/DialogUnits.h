#pragma once

#include <QFont>
#include <QRect>

namespace tidewell {

// Converts dialog-template units to pixels through a dialog font: a horizontal
// unit is a quarter of the font's average character width, a vertical unit an
// eighth of its height. Every template-built window converts through here.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);
    DialogUnits(int averageCharWidth, int fontHeight)
        : charWidth_(averageCharWidth), charHeight_(fontHeight) {}

    int ToPixelsX(int dlu) const;
    int ToPixelsY(int dlu) const;
    QRect ToPixels(int x, int y, int w, int h) const;

    int AverageCharWidth() const { return charWidth_; }
    int FontHeight() const { return charHeight_; }

private:
    int charWidth_;
    int charHeight_;
};

// The font every dialog of the program is laid out in.
QFont DialogFont();

} // namespace tidewell
