#pragma once

#include <QWidget>

#include <cstdint>
#include <memory>

class QPlainTextEdit;
class QTimer;

namespace tidewell {

class ConnectionLog;

// The connection log in a window of its own, beside the main window: the
// dialogue with the servers as it happens, to copy or clear. It reads the
// lines that came since its last look every few tenths of a second while it
// is shown, so a connection never waits for it.
class ConnectionLogWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMaxLines = 10000;

    ConnectionLogWindow(std::shared_ptr<ConnectionLog> log, QWidget* owner);

    // Shows the window and brings it to the front.
    void Open();
    QPlainTextEdit* View() const { return view_; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Pull();
    // The selection when there is one, else everything.
    void Copy();
    void Clear();

    std::shared_ptr<ConnectionLog> log_;
    std::uint64_t read_ = 0; // the sequence number of the last line shown
    QPlainTextEdit* view_ = nullptr;
    QTimer* timer_ = nullptr;
};

} // namespace tidewell
