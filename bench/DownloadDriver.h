#pragma once

#include "gui/app/MainDialog.h"
#include "gui/remote/ListViewControl.h"
#include "gui/remote/RemoteListModel.h"
#include "gui/transfer/TransferDialogs.h"
#include "gui/transfer/TransferStatusView.h"
#include "resources/ResourceIds.h"

#include <QAbstractItemView>
#include <QEventLoop>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPixmap>
#include <QProgressBar>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace tidewell::bench {

// Downloads through the window as a user would, once logged in: selects rows
// of the listing, fills Download To, presses Download and waits (in the event
// loop, without spinning) until the window is idle again. Overwrite questions
// (there should be none) are answered Cancel; the completion notice is closed
// at once. Both are counted.
class DownloadDriver {
public:
    explicit DownloadDriver(MainDialog& dialog)
        : dialog_(dialog),
          hook_({[this](QWidget*, const OverwriteQuestion& question) {
                     std::fprintf(stderr, "asked to overwrite %s\n", question.fileLine.c_str());
                     ++questions_;
                     return OverwriteAnswer::Cancel;
                 },
                 [this](QWidget*) { ++notices_; }}) {}

    // Selects exactly the rows of these names; false when one is not listed.
    bool Select(const std::vector<std::string>& names) {
        QAbstractItemView* view = dialog_.RemoteList()->CurrentView();
        RemoteListModel* model = dialog_.RemoteList()->Model();
        std::set<std::string> wanted(names.begin(), names.end());
        view->clearSelection();
        for (int row = 0; row < model->rowCount(); ++row) {
            if (wanted.erase(model->Name(row)) > 0) {
                view->selectionModel()->select(model->index(row, 0),
                                               QItemSelectionModel::Select | QItemSelectionModel::Rows);
            }
        }
        return wanted.empty();
    }

    void SetFolder(const QString& folder) {
        dialog_.ControlAs<QLineEdit>(res::IDC_DOWNLOAD_FOLDER)->setText(folder);
    }

    // Presses Download; true once the window is idle again within the bound.
    bool DownloadAndWait(std::chrono::seconds bound) {
        dialog_.DispatchCommand(res::IDC_DOWNLOAD);
        if (!dialog_.Busy()) {
            std::fprintf(stderr, "the download did not start\n");
            return false;
        }
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (!dialog_.Busy()) {
                loop.quit();
            }
        });
        poll.start(20);
        QTimer::singleShot(bound, &loop, &QEventLoop::quit);
        loop.exec();
        return !dialog_.Busy();
    }

    // Downloads, and saves a picture of the window taken at the first display
    // that shows the file bar past its start and short of its end. When that
    // display had no throughput yet (a file's first block), the first later
    // one that has, still short of the end, replaces it.
    bool ShootWhileDownloading(const QString& out, std::chrono::seconds bound) {
        auto* bar = dialog_.ControlAs<QProgressBar>(res::IDC_FILE_PROGRESS);
        auto* throughput = dialog_.ControlAs<QLineEdit>(res::IDC_THROUGHPUT);
        const QString idleThroughput = throughput->text();
        QPixmap picture;
        bool complete = false; // a picture with a throughput
        QObject pending;       // a picture still due when this returns is dropped with it
        // The bar moves before the texts of the same display are written:
        // the picture is taken once that display is complete.
        const auto connection = QObject::connect(bar, &QProgressBar::valueChanged, bar, [&](int value) {
            if (!complete && value > 0 && value < bar->maximum()) {
                QTimer::singleShot(0, &pending, [&] {
                    const bool partWay = bar->value() > 0 && bar->value() < bar->maximum();
                    const bool rated = throughput->text() != idleThroughput;
                    if (!complete && partWay && (picture.isNull() || rated)) {
                        picture = dialog_.grab();
                        complete = rated;
                    }
                });
            }
        });
        const bool done = DownloadAndWait(bound);
        QObject::disconnect(connection);
        if (picture.isNull()) {
            std::fprintf(stderr, "no display showed the file part way\n");
            return false;
        }
        return done && picture.save(out);
    }

    int Notices() const { return notices_; }
    int Questions() const { return questions_; }
    // How often the Transfer Status group was repainted so far.
    int Repaints() const { return dialog_.findChild<TransferStatusView*>()->Repaints(); }

private:
    MainDialog& dialog_;
    int notices_ = 0;
    int questions_ = 0;
    ScopedTransferDialogHook hook_;
};

} // namespace tidewell::bench
