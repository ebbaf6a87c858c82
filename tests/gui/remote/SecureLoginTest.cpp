// Logging in over TLS as a user sees it: the certificate question, the
// always-trusted file beside the settings file, a changed certificate said
// loudly, the padlock while encrypted; the TLS itself is the engine's, tested there.
#include "gui/app/MainDialog.h"

#include "core/remote/TrustStore.h"
#include "fixtures/FtpServers.h"
#include "gui/remote/CertificateDialog.h"
#include "resources/ResourceIds.h"
#include "support/MessageRecorder.h"
#include "support/WindowDriving.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>

namespace tidewell {
namespace {

using namespace res;

QLabel* Padlock(const MainDialog& dialog) {
    return dialog.ControlAs<QLabel>(IDC_DIR_COUNT)->findChild<QLabel*>();
}

TEST(SecureLogin, TheCertificateQuestionDecidesAndAlwaysTrustIsKeptBesideTheSettings) {
    test::PyftpdlibServer server("tls");
    ASSERT_TRUE(server.Ready()) << server.Failure();
    MainDialog dialog({});
    test::FillSite(dialog, "ftpes://" + test::SiteAddress(server), server.Address().user,
                   server.Address().password);
    const QString trustFile = TrustStore::PathBeside(dialog.SettingsPath());
    std::vector<CertificateQuestion> asked;
    const auto logIn = [&](std::optional<CertificateAnswer> answer) {
        asked.clear();
        ScopedCertificateDialogHook hook([&](QWidget*, const CertificateQuestion& question) {
            asked.push_back(question);
            EXPECT_TRUE(answer.has_value()) << "asked although the certificate is trusted";
            return answer.value_or(CertificateAnswer::Cancel);
        });
        dialog.DispatchCommand(IDC_LOGOUT);
        dialog.DispatchCommand(IDC_LOGIN);
        EXPECT_TRUE(test::WaitUntilIdle(dialog));
    };

    logIn(CertificateAnswer::AlwaysTrust);
    ASSERT_EQ(asked.size(), 1u);
    const ftp::CertificateInfo certificate = asked[0].certificate;
    EXPECT_FALSE(certificate.problem.empty()); // self-signed, and for localhost
    EXPECT_FALSE(asked[0].trustedBefore.has_value());
    ASSERT_TRUE(dialog.Session().Connected());
    EXPECT_TRUE(Padlock(dialog)->isVisibleTo(&dialog));
    EXPECT_TRUE(Padlock(dialog)->toolTip().contains(QString::fromStdString(certificate.sha256)));
    namespace fs = std::filesystem;
    EXPECT_EQ(fs::status(trustFile.toStdString()).permissions(),
              fs::perms::owner_read | fs::perms::owner_write);

    logIn(std::nullopt); // remembered: no question
    EXPECT_TRUE(dialog.Session().Connected());

    // Another certificate trusted before: asked again, loudly; Cancel sends nothing and says nothing.
    ASSERT_TRUE(TrustStore(trustFile).Remember("127.0.0.1", server.Address().port, "AA:BB"));
    {
        test::MessageRecorder messages;
        logIn(CertificateAnswer::Cancel);
        EXPECT_TRUE(messages.Calls().empty());
    }
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].trustedBefore, "AA:BB");
    EXPECT_FALSE(dialog.Session().Connected());
    EXPECT_FALSE(Padlock(dialog)->isVisibleTo(&dialog));
}

TEST(SecureLogin, RequiredTlsThatTheServerLacksIsAnErrorNotPlainFtp) {
    test::PyftpdlibServer server;
    ASSERT_TRUE(server.Ready()) << server.Failure();
    MainDialog dialog({});
    test::FillSite(dialog, "ftpes://" + test::SiteAddress(server), server.Address().user,
                   server.Address().password);
    test::MessageRecorder messages;
    dialog.DispatchCommand(IDC_LOGIN);
    ASSERT_TRUE(test::WaitUntilIdle(dialog));
    ASSERT_EQ(messages.Calls().size(), 1u);
    EXPECT_TRUE(messages.Calls()[0].text.contains("does not offer TLS"))
        << messages.Calls()[0].text.toStdString();
    EXPECT_FALSE(dialog.Session().Connected());
}

TEST(CertificateDialog, EachButtonGivesItsAnswerAndAChangeIsSaidLoudly) {
    const CertificateQuestion changed{{"ftp.example.org", "CN=ftp.example.org", "CN=ftp.example.org", "a",
                                       "b", "CD:EF", "self-signed certificate", "TLSv1.3"},
                                      std::string("AA:BB")};
    for (const CertificateAnswer answer :
         {CertificateAnswer::Trust, CertificateAnswer::AlwaysTrust, CertificateAnswer::Cancel}) {
        CertificateDialog dialog(changed, nullptr);
        EXPECT_TRUE(dialog.findChild<QLabel*>()->text().contains("CHANGED"));
        QTimer::singleShot(0, &dialog, [&] { dialog.Button(answer)->click(); });
        EXPECT_EQ(dialog.Ask(), answer);
    }
    // Enter, wherever the focus is when the dialog opens, never trusts a changed certificate.
    CertificateDialog dialog(changed, nullptr);
    QTimer::singleShot(0, &dialog, [&] {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus != nullptr ? focus : &dialog, Qt::Key_Return);
    });
    EXPECT_EQ(dialog.Ask(), CertificateAnswer::Cancel);
}

} // namespace
} // namespace tidewell
