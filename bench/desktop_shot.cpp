// Pictures of the window under a real window manager, and a check of the
// frames it gives the two transfer dialogs (scripts/screenshot.sh --desktop).
//   desktop_shot HOST:PORT USER PASSWORD OUTDIR
// Logs in, opens the remote list's context menu (OUTDIR/context-menu.png) and
// the Connection Log (OUTDIR/connection-log.png), then shows "Overwrite File"
// and "Transfer Information" (OUTDIR/dialogs.png) and fails unless the window
// manager offers neither minimise nor maximise on them.
#include "BrowseDriver.h"

#include "gui/transfer/CompletionDialog.h"
#include "gui/transfer/OverwriteDialog.h"
#include "gui/ui/MessageBox.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <QProcess>
#include <QScreen>

#include <cstdio>
#include <cstdlib>

namespace {

using namespace tidewell;

// Runs the events for a while, so that the window manager and the paints catch up.
void Settle(int milliseconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < deadline) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

bool ShootScreen(const QString& path) {
    Settle(500);
    if (!QGuiApplication::primaryScreen()->grabWindow(0).save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

// The actions the window manager allows on a top-level window, as it announces them.
QString AllowedActions(const QWidget& window) {
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window.winId()),
                                          QStringLiteral("_NET_WM_ALLOWED_ACTIONS")});
    xprop.waitForFinished(10000);
    return QString::fromLocal8Bit(xprop.readAllStandardOutput()).trimmed();
}

// A dialog with a title bar and at most a close box: nothing to minimise or maximise.
bool FramedAsDialog(const QWidget& window) {
    const QString actions = AllowedActions(window);
    const bool framed = actions.contains(QStringLiteral("_NET_WM_ACTION_MOVE")) &&
                        !actions.contains(QStringLiteral("MINIMIZE")) &&
                        !actions.contains(QStringLiteral("MAXIMIZE"));
    std::printf("%s: %s\n", qPrintable(window.windowTitle()), qPrintable(actions));
    return framed;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: desktop_shot HOST:PORT USER PASSWORD OUTDIR\n");
        return 2;
    }
    QApplication app(argc, argv);
    ScopedMessageHook messages([](const MessageRequest& request) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(request.caption), qPrintable(request.text));
        std::exit(1);
        return Answer::Ok;
    });
    const QString out = QString::fromLocal8Bit(argv[4]) + QLatin1Char('/');
    MainDialog dialog({});
    dialog.show();
    bench::BrowseDriver driver(dialog);
    driver.FillSite(argv[1], argv[2], argv[3], "");
    if (!driver.PressAndWait(res::IDC_LOGIN, std::chrono::seconds(30))) {
        std::fprintf(stderr, "the listing did not arrive\n");
        return 1;
    }

    QAbstractItemView* view = dialog.RemoteList()->CurrentView();
    const QModelIndex row = dialog.RemoteList()->Model()->index(1, 0);
    view->setCurrentIndex(row);
    const QPoint at = view->visualRect(row).center();
    QContextMenuEvent request(QContextMenuEvent::Mouse, at, view->viewport()->mapToGlobal(at));
    QApplication::sendEvent(view->viewport(), &request);
    // The menu deletes itself once closed, by whoever closes it.
    const QPointer<QMenu> menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (menu.isNull() || !ShootScreen(out + QStringLiteral("context-menu.png"))) {
        std::fprintf(stderr, "the context menu did not open\n");
        return 1;
    }
    if (menu) {
        menu->close();
    }

    QAction* log = dialog.MenuAction(res::ID_HELP_CONNECTION_LOG);
    if (log == nullptr) {
        std::fprintf(stderr, "no Connection Log menu item\n");
        return 1;
    }
    log->trigger();
    Settle(500);
    if (!ShootScreen(out + QStringLiteral("connection-log.png"))) {
        return 1;
    }

    OverwriteDialog overwrite(&dialog);
    overwrite.SetTexts({"/home/me/Downloads/report.pdf",
                        "1048576 Bytes, modified on, Monday, December 07, 2026",
                        "2097152 Bytes, modified on, Sunday, December 06, 2026"});
    overwrite.setWindowModality(Qt::ApplicationModal); // as when it asks
    overwrite.show();
    CompletionDialog completion(&dialog);
    completion.setWindowModality(Qt::ApplicationModal);
    completion.show();
    Settle(1000);
    const bool framed = FramedAsDialog(overwrite) & FramedAsDialog(completion);
    if (!ShootScreen(out + QStringLiteral("dialogs.png"))) {
        return 1;
    }
    if (!framed) {
        std::fprintf(stderr, "a transfer dialog can be minimised or maximised\n");
    }
    return framed ? 0 : 1;
}
