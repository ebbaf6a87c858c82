#include "gui/ui/HelpWindow.h"

#include "gui/ui/ButtonRow.h"
#include "gui/ui/DesktopServices.h"
#include "resources/ResourceIds.h"
#include "resources/Resources.h"

#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

// The help pages are compiled into a static library, so they have to be pulled in.
static void InitHelpResources() {
    Q_INIT_RESOURCE(help);
}

namespace tidewell {

QUrl HelpWindow::ContentsPage() {
    return QUrl(QStringLiteral("qrc:/help/contents.html"));
}

QUrl HelpWindow::IndexPage() {
    return QUrl(QStringLiteral("qrc:/help/index.html"));
}

HelpWindow::HelpWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
    static const bool loaded = (InitHelpResources(), true);
    (void)loaded;
    setWindowIcon(res::LoadIcon(res::IDI_APP));
    setWindowTitle(QStringLiteral("Tidewell Help"));

    auto* contents = new QPushButton(QStringLiteral("&Contents"), this);
    auto* index = new QPushButton(QStringLiteral("&Index"), this);
    back_ = new QPushButton(QStringLiteral("&Back"), this);
    forward_ = new QPushButton(QStringLiteral("&Forward"), this);
    auto* close = new QPushButton(QStringLiteral("C&lose"), this);
    browser_ = new QTextBrowser(this);
    // Every link comes through FollowLink: pages here, web addresses to the browser.
    browser_->setOpenLinks(false);
    browser_->setOpenExternalLinks(false);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(ButtonRow({contents, index, back_, forward_}, close));
    layout->addWidget(browser_, 1);

    connect(contents, &QPushButton::clicked, this, [this] { browser_->setSource(ContentsPage()); });
    connect(index, &QPushButton::clicked, this, [this] { browser_->setSource(IndexPage()); });
    connect(back_, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward_, &QPushButton::clicked, browser_, &QTextBrowser::forward);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QPushButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QPushButton::setEnabled);
    connect(browser_, &QTextBrowser::anchorClicked, this, &HelpWindow::FollowLink);
    connect(browser_, &QTextBrowser::sourceChanged, this, &HelpWindow::UpdateTitle);
    back_->setEnabled(false);
    forward_->setEnabled(false);
    resize(680, 560);
}

void HelpWindow::ShowPage(const QUrl& page) {
    browser_->setSource(page);
    show();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
}

QUrl HelpWindow::CurrentPage() const {
    return browser_->source();
}

void HelpWindow::FollowLink(const QUrl& link) {
    const QUrl target = browser_->source().resolved(link);
    if (target.scheme() == QLatin1String("qrc")) {
        browser_->setSource(target);
    } else {
        OpenDesktopUrl(target);
    }
}

void HelpWindow::UpdateTitle() {
    const QString page = browser_->documentTitle();
    setWindowTitle(page.isEmpty() ? QStringLiteral("Tidewell Help")
                                  : QStringLiteral("Tidewell Help - ") + page);
}

} // namespace tidewell
