#include "gui/ui/DialogUnits.h"

#include <QApplication>
#include <QFontMetrics>

namespace tidewell {
namespace {

// Rounded a * b / c, as the template layout has always scaled.
int MulDivRounded(int a, int b, int c) {
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

} // namespace

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // The average over the 52 letters, rounded, is the width the templates were designed with.
    static const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    charWidth_ = (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
    charHeight_ = metrics.height();
}

int DialogUnits::ToPixelsX(int dlu) const {
    return MulDivRounded(dlu, charWidth_, 4);
}
int DialogUnits::ToPixelsY(int dlu) const {
    return MulDivRounded(dlu, charHeight_, 8);
}

QRect DialogUnits::ToPixels(int x, int y, int w, int h) const {
    return QRect(ToPixelsX(x), ToPixelsY(y), ToPixelsX(w), ToPixelsY(h));
}

QFont DialogFont() {
    // A Helvetica-metric sans: its texts keep to its average width closely
    // enough that every template label fits the room it was given.
    QFont font(QStringLiteral("Nimbus Sans"), 9);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace tidewell
