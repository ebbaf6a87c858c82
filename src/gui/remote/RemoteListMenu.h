#pragma once

#include <QKeySequence>
#include <QObject>
#include <QString>

#include <functional>
#include <vector>

class QAbstractItemView;
class QPoint;

namespace tidewell {

class ListViewControl;

// The remote list's context menu (right click or the menu key) and the keys
// people expect in a file list. Every entry asks its owner whether it may run
// at the moment it is shown or pressed, so it is offered exactly when the
// window's own control for it would take it.
class RemoteListMenu : public QObject {
    Q_OBJECT
public:
    struct Entry {
        QString text; // empty: a separator
        QKeySequence key;
        std::function<bool()> enabled;
        std::function<void()> run;
    };

    RemoteListMenu(ListViewControl& list, std::vector<Entry> entries);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Popup(QAbstractItemView& view, const QPoint& at);

    std::vector<Entry> entries_;
};

} // namespace tidewell
