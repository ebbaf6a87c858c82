#include "gui/ui/LinkLabel.h"

#include "core/app/HyperlinkRules.h"
#include "gui/ui/DesktopServices.h"
#include "gui/ui/MessageBox.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QStandardPaths>

namespace tidewell {
namespace {

// Why a registered browser command did not start, as an error code.
int StartFailureCode(const QString& program) {
    const QString path = program.contains(u'/') ? program : QStandardPaths::findExecutable(program);
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) {
        return hyperlink::kFileNotFound;
    }
    if (!info.isFile() || !info.isExecutable()) {
        return hyperlink::kAccessDenied;
    }
    return hyperlink::kOutOfResources;
}

// The Exec line of the application registered for web pages of this address.
QString RegisteredBrowserCommand(const QUrl& url) {
    QStringList types;
    if (!url.scheme().isEmpty()) {
        types << QStringLiteral("x-scheme-handler/") + url.scheme().toLower();
    }
    types << QStringLiteral("text/html");
    for (const QString& type : types) {
        const QString entry = LocateDesktopEntry(DefaultDesktopApplication(type));
        if (entry.isEmpty()) {
            continue;
        }
        QFile file(entry);
        if (!file.open(QIODevice::ReadOnly)) {
            continue;
        }
        const QString exec = hyperlink::DesktopEntryExec(QString::fromUtf8(file.read(1 << 20)));
        if (!exec.isEmpty()) {
            return exec;
        }
    }
    return {};
}

} // namespace

LinkLabel::LinkLabel(QWidget* parent) : QLabel(parent) {
    hoverColour_ = palette().color(QPalette::Highlight);
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setMargin(0);
    setIndent(0);
    ApplyColour();
}

void LinkLabel::SetUrl(const QString& url) {
    url_ = url;
    if (attached_) {
        FitToText();
        setToolTip(url_);
    }
}

void LinkLabel::SetVisited(bool visited) {
    visited_ = visited;
    ApplyColour();
}

QColor LinkLabel::TextColour() const {
    if (hovering_) {
        return hoverColour_;
    }
    return visited_ ? kVisitedColour : kUnvisitedColour;
}

void LinkLabel::Attach() {
    if (url_.isEmpty()) {
        url_ = text();
    }
    if (text().isEmpty()) {
        setText(url_);
    }
    QFont linkFont = font();
    linkFont.setUnderline(underline_);
    setFont(linkFont);
    attached_ = true;
    FitToText();
    setCursor(Qt::PointingHandCursor);
    setToolTip(url_);
    setMouseTracking(true);
    ApplyColour();
}

void LinkLabel::FitToText() {
    if (!attached_ || !fitToText_) {
        return;
    }
    const QSize extent = QFontMetrics(font()).size(Qt::TextSingleLine, text());
    // Edges as the platform keeps them: right and bottom just outside the rectangle.
    const QRect place = geometry();
    int left = place.x();
    int top = place.y();
    int right = left + place.width();
    int bottom = top + place.height();
    if (alignment() & Qt::AlignVCenter) {
        // Integer division truncates toward zero; a negative amount enlarges the rectangle.
        const int inset = (place.height() - extent.height()) / 2;
        top += inset;
        bottom -= inset;
    } else {
        bottom = top + extent.height();
    }
    if (alignment() & Qt::AlignHCenter) {
        const int inset = (place.width() - extent.width()) / 2;
        left += inset;
        right -= inset;
    } else if (alignment() & Qt::AlignRight) {
        left = right - extent.width();
    } else {
        right = left + extent.width();
    }
    setGeometry(left, top, right - left, bottom - top);
}

int LinkLabel::OpenUrl(const QString& address) {
    const QUrl url(address);
    if (OpenDesktopUrl(url)) {
        return hyperlink::kOpened;
    }
    const int result = hyperlink::kNoAssociation;
    // The fallback: the registered web-browser command, cut at its placeholder.
    const QStringList command = hyperlink::BrowserCommand(RegisteredBrowserCommand(url), address);
    if (command.isEmpty()) {
        return result;
    }
    if (StartDetachedProgram(command.front(), command.mid(1))) {
        return hyperlink::kOpened;
    }
    return StartFailureCode(command.front());
}

void LinkLabel::ReportOpenError(int code) {
    ShowMessage(window(), hyperlink::OpenErrorMessage(code), QCoreApplication::applicationName(),
                MessageIcon::Exclamation);
}

void LinkLabel::Click() {
    const int result = OpenUrl(url_);
    // A failed click also clears an earlier visited state.
    SetVisited(hyperlink::Succeeded(result));
    if (!visited_) {
        QApplication::beep();
        ReportOpenError(result);
    }
}

void LinkLabel::enterEvent(QEnterEvent* event) {
    QLabel::enterEvent(event);
    SetHovering(true);
}

void LinkLabel::leaveEvent(QEvent* event) {
    QLabel::leaveEvent(event);
    SetHovering(false);
}

void LinkLabel::mouseMoveEvent(QMouseEvent* event) {
    QLabel::mouseMoveEvent(event);
    // While a button is held the label keeps the mouse: a move outside ends the hover.
    SetHovering(rect().contains(event->position().toPoint()));
}

void LinkLabel::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click =
        pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    event->accept();
    if (click) {
        Click();
    }
}

void LinkLabel::SetHovering(bool hovering) {
    if (hovering_ != hovering) {
        hovering_ = hovering;
        ApplyColour();
    }
}

void LinkLabel::ApplyColour() {
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, TextColour());
    setPalette(colours);
    update();
}

} // namespace tidewell
