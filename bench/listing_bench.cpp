// Time from pressing Refresh until the rows of a long listing are shown and
// painted: engine, parse, model and view together. Prints one line per run.
//   listing_bench HOST PORT USER PASSWORD DIRECTORY RUNS [report]
#include "BrowseDriver.h"

#include "gui/remote/RemoteListModel.h"

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 7) {
        std::fprintf(stderr, "usage: listing_bench HOST PORT USER PASSWORD DIRECTORY RUNS [report]\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toLocal8Bit());
    QApplication app(argc, argv);
    const int runs = std::atoi(argv[6]);
    const bool report = argc > 7 && std::string(argv[7]) == "report";

    tidewell::MainDialog dialog({});
    dialog.show();
    tidewell::bench::BrowseDriver driver(dialog);
    driver.FillSite(std::string(argv[1]) + ":" + argv[2], argv[3], argv[4], argv[5]);
    if (report) {
        dialog.ControlAs<QPushButton>(tidewell::res::IDC_DETAILS)->click();
    }
    if (!driver.PressAndWait(tidewell::res::IDC_LOGIN)) {
        std::fprintf(stderr, "the first listing did not arrive\n");
        return 1;
    }
    std::fprintf(stderr, "%d rows\n", dialog.RemoteList()->Model()->rowCount());
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        if (!driver.PressAndWait(tidewell::res::IDC_LOGIN)) {
            std::fprintf(stderr, "the listing did not arrive\n");
            return 1;
        }
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        std::printf("%.3f\n", took.count());
    }
    return 0;
}
