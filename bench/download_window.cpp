// A download through the full path: the window (offscreen) logs in, the
// named rows of the login directory are selected, Download To is filled and
// Download pressed; the run goes through the bridge to the window, and the
// completion notice is closed at once.
//   download_window HOST:PORT USER PASSWORD FOLDER NAME...
// Prints, from pressing Download until the window is idle again: seconds, CPU
// seconds of the process, growth of its resident size in MB, and repaints of
// the Transfer Status group per second.
#include "BrowseDriver.h"
#include "DownloadDriver.h"
#include "ProcessMeter.h"

#include "gui/ui/MessageBox.h"

#include <QApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 6) {
        std::fprintf(stderr, "usage: download_window HOST:PORT USER PASSWORD FOLDER NAME...\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toLocal8Bit());
    QApplication app(argc, argv);
    int messages = 0;
    tidewell::ScopedMessageHook hook([&](const tidewell::MessageRequest& request) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(request.caption), qPrintable(request.text));
        ++messages;
        return tidewell::Answer::Ok;
    });
    tidewell::MainDialog dialog({});
    dialog.show();
    tidewell::bench::BrowseDriver browse(dialog);
    browse.FillSite(argv[1], argv[2], argv[3], "");
    if (!browse.PressAndWait(tidewell::res::IDC_LOGIN, std::chrono::seconds(30)) || messages > 0) {
        std::fprintf(stderr, "the listing did not arrive\n");
        return 1;
    }
    tidewell::bench::DownloadDriver download(dialog);
    if (!download.Select({argv + 5, argv + argc})) {
        std::fprintf(stderr, "not every name is listed\n");
        return 1;
    }
    download.SetFolder(QString::fromLocal8Bit(argv[4]));

    tidewell::bench::ProcessMeter meter;
    const int repaintsBefore = download.Repaints();
    meter.Start();
    if (!download.DownloadAndWait(std::chrono::seconds(600))) {
        std::fprintf(stderr, "the download did not end\n");
        return 1;
    }
    meter.Stop();
    const int repaints = download.Repaints() - repaintsBefore;
    if (messages > 0 || download.Questions() > 0 || download.Notices() != 1) {
        std::fprintf(stderr, "%d messages, %d questions, %d completion notices\n", messages,
                     download.Questions(), download.Notices());
        return 1;
    }
    std::printf("%.3f %.3f %.1f %.1f\n", meter.Seconds(), meter.CpuSecondsUsed(), meter.RssGrowthMb(),
                repaints / meter.Seconds());
    return 0;
}
