#pragma once

#include "gui/app/MainDialog.h"
#include "gui/profiles/TabPane.h"
#include "gui/remote/ListViewControl.h"
#include "gui/remote/RemoteListModel.h"
#include "resources/ResourceIds.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>

#include <chrono>
#include <string>

namespace tidewell::bench {

// Counts the paints of a widget.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
        }
        return false;
    }
};

// Drives the window as a user would: fills Site 1, presses buttons, waits
// (bounded) until the listing is shown and painted.
class BrowseDriver {
public:
    explicit BrowseDriver(MainDialog& dialog) : dialog_(dialog) {}

    void FillSite(const std::string& address, const std::string& user, const std::string& password,
                  const std::string& directory) {
        TabPane* pane = dialog_.CurrentPane();
        pane->AddressEdit()->setText(QString::fromStdString(address));
        pane->UsernameEdit()->setText(QString::fromStdString(user));
        pane->PasswordEdit()->setText(QString::fromStdString(password));
        pane->DirectoryEdit()->setText(QString::fromStdString(directory));
    }

    // Presses the button; true once the listing is in the view and painted.
    bool PressAndWait(int id, std::chrono::seconds bound = std::chrono::seconds(120)) {
        QWidget* viewport = dialog_.RemoteList()->CurrentView()->viewport();
        PaintCounter counter(viewport);
        // The paints that count are those after the model took its last rows.
        int paintsAtReset = -1;
        const auto connection =
            QObject::connect(dialog_.RemoteList()->Model(), &QAbstractItemModel::modelReset,
                             [&] { paintsAtReset = counter.paints; });
        dialog_.DispatchCommand(id);
        const auto deadline = std::chrono::steady_clock::now() + bound;
        bool done = false;
        while (!done && std::chrono::steady_clock::now() < deadline) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            done = !dialog_.Busy() && paintsAtReset >= 0 && counter.paints > paintsAtReset;
        }
        QObject::disconnect(connection);
        return done;
    }

    // Presses Login on a site that never answers, saves a picture once the
    // window says it is connecting and has painted, then cancels; true when
    // the window was idle again within five seconds.
    bool ShootWhileConnecting(const QString& out) {
        dialog_.DispatchCommand(res::IDC_LOGIN);
        auto* field = dialog_.ControlAs<QLineEdit>(res::IDC_FILE_NAME);
        if (!WaitFor([&] { return field->text() == QStringLiteral("Connecting, Please Wait..."); }, 10)) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
        const bool saved = dialog_.grab().save(out);
        dialog_.DispatchCommand(res::IDC_CANCEL_TRANSFER);
        return saved && WaitFor([&] { return !dialog_.Busy(); }, 5);
    }

private:
    template <class Done> static bool WaitFor(Done done, int seconds) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        return true;
    }

    MainDialog& dialog_;
};

} // namespace tidewell::bench
