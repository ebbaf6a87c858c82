#pragma once

#include <QColor>
#include <QLabel>

namespace tidewell {

// A static text of a dialog that acts as a web link: underlined, in
// link colours (the palette's highlight while the mouse is over it), fitted to
// its text, with the hand cursor and the address as its tooltip. A click opens
// the address in the web browser, falling back to the desktop's registered
// browser command, and reports a failure in a message box.
//
// The owner sets the address (SetUrl), the text and the template place, then
// calls Attach, which turns the label into the link.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    static inline const QColor kUnvisitedColour{0, 0, 238};
    static inline const QColor kVisitedColour{85, 26, 139};

    explicit LinkLabel(QWidget* parent = nullptr);

    // Sets the address; once attached, also refits the label and replaces its tooltip.
    void SetUrl(const QString& url);
    const QString& Url() const { return url_; }
    // Sets the visited state and repaints in its colour.
    void SetVisited(bool visited);
    bool Visited() const { return visited_; }
    bool Hovering() const { return hovering_; }
    // The colour the text is drawn in now: hover, else visited, else unvisited.
    QColor TextColour() const;
    QColor HoverColour() const { return hoverColour_; }

    // Turns the label into the link: an empty address becomes the label's text
    // (and an empty text the address), the font is underlined, the label is
    // fitted to its text, and it gets the hand cursor and the tooltip.
    void Attach();
    // Resizes the label to its text, keeping its place by its alignment: the
    // horizontal centre for AlignHCenter, the right edge for AlignRight, else the
    // left edge; the vertical centre for AlignVCenter, else the top edge.
    void FitToText();

    // Opens address: the desktop's handler, else the registered web-browser
    // command. Above 32 on success, else an error code (see HyperlinkRules).
    static int OpenUrl(const QString& address);
    // "Unable to open hyperlink:" with the text for code, in a message box.
    void ReportOpenError(int code);

    // What a click does: opens the address, becomes visited on success, reports a failure.
    void Click();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void SetHovering(bool hovering);
    void ApplyColour();

    QColor hoverColour_;
    bool hovering_ = false;
    bool visited_ = false;
    bool underline_ = true;
    bool fitToText_ = true;
    bool attached_ = false;
    bool pressed_ = false;
    QString url_;
};

} // namespace tidewell
