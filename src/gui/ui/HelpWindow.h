#pragma once

#include <QUrl>
#include <QWidget>

class QPushButton;
class QTextBrowser;

namespace tidewell {

// The application's help viewer: the bundled HTML help pages (resources/help/)
// in a window of their own, owned by the main window, which opens it on a page
// and closes it when it goes. Links between pages stay in the window; a web
// address opens in the desktop's browser.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    // "Tidewell Help" opens the contents page, "Contents..." the index page.
    static QUrl ContentsPage();
    static QUrl IndexPage();

    explicit HelpWindow(QWidget* owner);

    // Shows page and brings the window to the front.
    void ShowPage(const QUrl& page);
    QUrl CurrentPage() const;
    QTextBrowser* Browser() const { return browser_; }

private:
    void FollowLink(const QUrl& link);
    void UpdateTitle();

    QTextBrowser* browser_ = nullptr;
    QPushButton* back_ = nullptr;
    QPushButton* forward_ = nullptr;
};

} // namespace tidewell
