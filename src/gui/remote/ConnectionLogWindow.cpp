#include "gui/remote/ConnectionLogWindow.h"

#include "core/remote/ConnectionLog.h"
#include "gui/ui/ButtonRow.h"
#include "resources/ResourceIds.h"
#include "resources/Resources.h"

#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextDocumentFragment>
#include <QTimer>
#include <QVBoxLayout>

namespace tidewell {

namespace {
constexpr int kPollMilliseconds = 200;
} // namespace

ConnectionLogWindow::ConnectionLogWindow(std::shared_ptr<ConnectionLog> log, QWidget* owner)
    : QWidget(owner, Qt::Window), log_(std::move(log)) {
    setWindowIcon(res::LoadIcon(res::IDI_APP));
    setWindowTitle(QStringLiteral("Connection Log"));

    view_ = new QPlainTextEdit(this);
    view_->setReadOnly(true);
    view_->setLineWrapMode(QPlainTextEdit::NoWrap);
    view_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    view_->setMaximumBlockCount(kMaxLines);

    auto* copy = new QPushButton(QStringLiteral("&Copy"), this);
    auto* clear = new QPushButton(QStringLiteral("C&lear"), this);
    auto* close = new QPushButton(QStringLiteral("Cl&ose"), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_, 1);
    layout->addLayout(ButtonRow({copy, clear}, close));

    timer_ = new QTimer(this);
    timer_->setInterval(kPollMilliseconds);
    connect(timer_, &QTimer::timeout, this, &ConnectionLogWindow::Pull);
    connect(copy, &QPushButton::clicked, this, &ConnectionLogWindow::Copy);
    connect(clear, &QPushButton::clicked, this, &ConnectionLogWindow::Clear);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    resize(720, 420);
}

void ConnectionLogWindow::Open() {
    show();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
}

void ConnectionLogWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Pull();
    timer_->start();
}

void ConnectionLogWindow::hideEvent(QHideEvent* event) {
    timer_->stop();
    QWidget::hideEvent(event);
}

void ConnectionLogWindow::Pull() {
    const auto lines = log_->After(read_);
    if (lines.empty()) {
        return;
    }
    QString text;
    for (const auto& entry : lines) {
        if (!text.isEmpty()) {
            text += QLatin1Char('\n');
        }
        text += QString::fromStdString(entry->line.Display());
    }
    read_ = lines.back()->sequence;
    // Follows the new lines only while the user is at the end; reading further up is not disturbed.
    QScrollBar* bar = view_->verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    view_->appendPlainText(text);
    if (atEnd) {
        bar->setValue(bar->maximum());
    }
}

void ConnectionLogWindow::Copy() {
    const QTextCursor cursor = view_->textCursor();
    QGuiApplication::clipboard()->setText(cursor.hasSelection() ? cursor.selection().toPlainText()
                                                                : view_->toPlainText());
}

void ConnectionLogWindow::Clear() {
    log_->Clear();
    view_->clear();
}

} // namespace tidewell
