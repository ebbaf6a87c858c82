#include "core/app/CommandLine.h"
#include "core/app/NetworkStartup.h"
#include "gui/app/MainDialog.h"
#include "gui/ui/MessageBox.h"
#include "gui/ui/TemplateBuilder.h"
#include "resources/DialogTemplate.h"
#include "resources/ResourceIds.h"

#include <QApplication>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Orvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Tidewell"));
    QGuiApplication::setDesktopFileName(QStringLiteral("tidewell")); // tidewell.desktop: task-bar icon

    if (!tidewell::StartNetworkLayer()) {
        tidewell::ShowMessage(
            nullptr,
            tidewell::TemplateText(tidewell::res::LoadString(tidewell::res::IDS_SOCKETS_INIT_FAILED)),
            QCoreApplication::applicationName(), tidewell::MessageIcon::Exclamation);
        return 1;
    }
    // Number, date and time texts follow the user's locale.
    std::setlocale(LC_ALL, "");

    // QApplication has taken its own options out of argv by now.
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const char* home = std::getenv("HOME");
    std::error_code error;
    tidewell::MainDialog dialog(
        tidewell::CommandLinePaths(args, home != nullptr ? home : "", std::filesystem::current_path(error)));
    dialog.exec();
    return 0;
}
