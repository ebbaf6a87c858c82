#include "gui/manage/CreateDirectoryDialog.h"
#include "gui/remote/CertificateDialog.h"
#include "gui/transfer/TransferDialogs.h"
#include "gui/ui/AboutDialog.h"
#include "gui/ui/DesktopServices.h"
#include "gui/ui/FileDialogs.h"
#include "gui/ui/MessageBox.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace {

void UseHome(const QString& home) {
    qputenv("XDG_CONFIG_HOME", (home + "/config").toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home + "/data").toLocal8Bit());
    qputenv("XDG_CACHE_HOME", (home + "/cache").toLocal8Bit());
}

// Each test gets a throwaway home of its own: a window saves its settings file
// and preferences when it closes, and the next test's window would load them.
class FreshHomePerTest : public ::testing::EmptyTestEventListener {
public:
    explicit FreshHomePerTest(QString fallback) : fallback_(std::move(fallback)) {}

    void OnTestStart(const ::testing::TestInfo&) override {
        home_ = std::make_unique<QTemporaryDir>();
        if (!home_->isValid()) {
            ADD_FAILURE() << "cannot make a temporary home";
            return;
        }
        UseHome(home_->path());
    }
    void OnTestEnd(const ::testing::TestInfo&) override {
        UseHome(fallback_);
        home_.reset();
    }

private:
    QString fallback_;
    std::unique_ptr<QTemporaryDir> home_;
};

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    // Whatever a window reads or writes as preferences or data goes to a throwaway home.
    QTemporaryDir home;
    if (!home.isValid()) {
        return 1;
    }
    UseHome(home.path());
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Orvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Tidewell"));

    // A test that does not answer a message box, file dialog, transfer dialog or About box
    // itself fails instead of hanging on a real one.
    tidewell::ScopedMessageHook unexpectedMessage([](const tidewell::MessageRequest& request) {
        ADD_FAILURE() << "unexpected message box: " << request.caption.toStdString() << ": "
                      << request.text.toStdString();
        return tidewell::Answer::Cancel;
    });
    tidewell::ScopedFileDialogHook unexpectedDialog([](const tidewell::FileDialogRequest& request) {
        ADD_FAILURE() << "unexpected file dialog: " << request.caption.toStdString();
        return QStringList{};
    });
    tidewell::ScopedTransferDialogHook unexpectedTransferDialog(
        {[](QWidget*, const tidewell::OverwriteQuestion& question) {
             ADD_FAILURE() << "unexpected overwrite question: " << question.fileLine;
             return tidewell::OverwriteAnswer::Cancel;
         },
         [](QWidget*) { ADD_FAILURE() << "unexpected completion notice"; }});
    tidewell::ScopedCreateDirectoryDialogHook unexpectedNewDir(
        [](tidewell::CreateDirectoryDialog&) { ADD_FAILURE() << "unexpected Create Directory dialog"; });
    tidewell::ScopedCertificateDialogHook unexpectedCertificate(
        [](QWidget*, const tidewell::CertificateQuestion& question) {
            ADD_FAILURE() << "unexpected certificate question: " << question.certificate.host;
            return tidewell::CertificateAnswer::Cancel;
        });
    tidewell::ScopedAboutBoxHook unexpectedAbout(
        [](tidewell::AboutDialog&) { ADD_FAILURE() << "unexpected About box"; });
    // No test starts a real browser or file manager.
    tidewell::ScopedDesktopHook unexpectedDesktop(
        {[](const QUrl& url) {
             ADD_FAILURE() << "unexpected desktop open: " << url.toString().toStdString();
             return false;
         },
         [](const QString& mimeType) {
             ADD_FAILURE() << "unexpected default-application query: " << mimeType.toStdString();
             return QString();
         },
         [](const QString& program, const QStringList&) {
             ADD_FAILURE() << "unexpected program start: " << program.toStdString();
             return false;
         }});

    ::testing::InitGoogleTest(&argc, argv);
    // The listener list takes ownership.
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshHomePerTest(home.path()));
    return RUN_ALL_TESTS();
}
