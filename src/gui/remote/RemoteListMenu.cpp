#include "gui/remote/RemoteListMenu.h"

#include "gui/remote/ListViewControl.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QListView>
#include <QMenu>
#include <QTreeView>

namespace tidewell {

RemoteListMenu::RemoteListMenu(ListViewControl& list, std::vector<Entry> entries)
    : QObject(&list), entries_(std::move(entries)) {
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(list.ListView()),
                                    static_cast<QAbstractItemView*>(list.ReportView())}) {
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view, &QWidget::customContextMenuRequested, this,
                [this, view](const QPoint& at) { Popup(*view, at); });
        view->installEventFilter(this);
    }
}

void RemoteListMenu::Popup(QAbstractItemView& view, const QPoint& at) {
    auto* menu = new QMenu(&view);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (const Entry& entry : entries_) {
        if (entry.text.isEmpty()) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(entry.text);
        action->setShortcut(entry.key);
        action->setShortcutVisibleInContextMenu(true);
        action->setEnabled(entry.enabled());
        // Queued: the command may ask a question, which should not open from inside the closing menu.
        connect(
            action, &QAction::triggered, this, [run = entry.run] { run(); }, Qt::QueuedConnection);
    }
    // The position is the viewport's, as for every scroll area.
    menu->popup(view.viewport()->mapToGlobal(at));
}

bool RemoteListMenu::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return QObject::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    // The keypad's Delete is the Delete key too.
    const QKeySequence pressed(QKeyCombination(key->modifiers() & ~Qt::KeypadModifier, Qt::Key(key->key())));
    for (const Entry& entry : entries_) {
        if (!entry.key.isEmpty() && entry.key == pressed && entry.enabled()) {
            entry.run();
            return true;
        }
    }
    return false;
}

} // namespace tidewell
