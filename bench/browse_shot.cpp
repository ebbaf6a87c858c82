// Logs in to a site, lists it and saves a picture of the window, for the
// developer notes and for checking the window by eye.
//   browse_shot HOST:PORT USER PASSWORD DIRECTORY OUT.png [details|connecting|large]
//   browse_shot HOST:PORT USER PASSWORD DIRECTORY OUT.png downloading NAME FOLDER
// large: the window enlarged to 1400x1000 first, to show the listing filling it.
// connecting: the site never answers; the picture shows the window while it
// connects, then Cancel Transfer must bring it back to idle within seconds.
// downloading: after logging in, NAME is downloaded into FOLDER and the picture
// shows the run part way through the file; the run must then end with the
// completion notice.
#include "BrowseDriver.h"
#include "DownloadDriver.h"

#include "gui/remote/CertificateDialog.h"
#include "gui/remote/HostKeyDialog.h"
#include "gui/ui/MessageBox.h"

#include <QApplication>
#include <QPixmap>
#include <QPushButton>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 6) {
        std::fprintf(stderr, "usage: browse_shot HOST:PORT USER PASSWORD DIRECTORY OUT.png "
                             "[details|connecting|large|downloading NAME FOLDER]\n");
        return 2;
    }
    QApplication app(argc, argv);
    // A message means the picture would not show the listing: say it and stop.
    tidewell::ScopedMessageHook messages([](const tidewell::MessageRequest& request) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(request.caption), qPrintable(request.text));
        std::exit(1);
        return tidewell::Answer::Ok;
    });
    // The demo server's own certificate (ftpes:// sites) is trusted for the picture.
    tidewell::ScopedCertificateDialogHook certificates(
        [](QWidget*, const tidewell::CertificateQuestion&) { return tidewell::CertificateAnswer::Trust; });
    // The demo's host key (sftp:// sites) likewise; with HOST_KEY_SHOT set, the
    // question is pictured there first.
    tidewell::ScopedHostKeyDialogHook hostKeys(
        [](QWidget* parent, const tidewell::HostKeyQuestion& question) {
            if (const char* shot = std::getenv("HOST_KEY_SHOT")) {
                tidewell::HostKeyDialog asked(question, parent);
                asked.adjustSize();
                asked.grab().save(QString::fromLocal8Bit(shot));
            }
            return tidewell::CertificateAnswer::Trust;
        });
    tidewell::MainDialog dialog({});
    dialog.show();
    tidewell::bench::BrowseDriver driver(dialog);
    driver.FillSite(argv[1], argv[2], argv[3], argv[4]);
    const std::string mode = argc > 6 ? argv[6] : "";
    if (mode == "details") {
        dialog.ControlAs<QPushButton>(tidewell::res::IDC_DETAILS)->click();
    }
    if (mode == "large") {
        dialog.resize(1400, 1000);
    }
    if (mode == "connecting") {
        return driver.ShootWhileConnecting(QString::fromLocal8Bit(argv[5])) ? 0 : 1;
    }
    if (!driver.PressAndWait(tidewell::res::IDC_LOGIN, std::chrono::seconds(30))) {
        std::fprintf(stderr, "the listing did not arrive (connected %d, idle %d, %d rows)\n",
                     dialog.Session().Connected(), !dialog.Busy(), dialog.RemoteList()->Model()->rowCount());
        return 1;
    }
    if (mode == "downloading") {
        if (argc < 9) {
            std::fprintf(stderr, "downloading needs NAME and FOLDER\n");
            return 2;
        }
        tidewell::bench::DownloadDriver download(dialog);
        if (!download.Select({argv[7]})) {
            std::fprintf(stderr, "%s is not listed\n", argv[7]);
            return 1;
        }
        download.SetFolder(QString::fromLocal8Bit(argv[8]));
        const bool shot =
            download.ShootWhileDownloading(QString::fromLocal8Bit(argv[5]), std::chrono::seconds(120));
        return shot && download.Notices() == 1 && download.Questions() == 0 ? 0 : 1;
    }
    if (!dialog.grab().save(QString::fromLocal8Bit(argv[5]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[5]);
        return 1;
    }
    return 0;
}
