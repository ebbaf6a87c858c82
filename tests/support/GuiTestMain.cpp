#include "ui/FileDialogs.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    // Whatever a window reads or writes as preferences or data goes to a throwaway home.
    QTemporaryDir home;
    if (!home.isValid()) {
        return 1;
    }
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toLocal8Bit());
    qputenv("XDG_CACHE_HOME", (home.path() + "/cache").toLocal8Bit());
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Orvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Tidewell"));

    // A test that does not answer a message box or file dialog itself fails
    // instead of hanging on a real one.
    tidewell::ScopedMessageHook unexpectedMessage([](const tidewell::MessageRequest& request) {
        ADD_FAILURE() << "unexpected message box: " << request.caption.toStdString() << ": "
                      << request.text.toStdString();
        return static_cast<int>(tidewell::IdCancel);
    });
    tidewell::ScopedFileDialogHook unexpectedDialog([](const tidewell::FileDialogRequest& request) {
        ADD_FAILURE() << "unexpected file dialog: " << request.caption.toStdString();
        return QStringList{};
    });

    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
