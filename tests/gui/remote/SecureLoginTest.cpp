// Logging in over TLS or SSH as a user sees it: the certificate or host-key
// question, the always-trusted files beside the settings file, a change said
// loudly, the padlock while encrypted, keys with a passphrase; the protocols
// themselves are the engines', tested there.
#include "gui/app/MainDialog.h"

#include "core/remote/TrustStore.h"
#include "fixtures/FtpServers.h"
#include "gui/remote/CertificateDialog.h"
#include "gui/remote/HostKeyDialog.h"
#include "resources/ResourceIds.h"
#include "support/MessageRecorder.h"
#include "support/WindowDriving.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

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

// HOME, where ~/.ssh is looked for, in a folder of the test's own while it lives.
class ScopedHome {
public:
    ScopedHome() : old_(qgetenv("HOME")) {
        std::filesystem::create_directory(home_.Path() / ".ssh");
        qputenv("HOME", QByteArray::fromStdString(home_.Path().string()));
    }
    ~ScopedHome() { qputenv("HOME", old_); }
    ScopedHome(const ScopedHome&) = delete;
    ScopedHome& operator=(const ScopedHome&) = delete;
    std::filesystem::path Ssh() const { return home_.Path() / ".ssh"; }

private:
    test::TempDir home_;
    QByteArray old_;
};

std::string FirstLine(const std::filesystem::path& file) {
    std::string line;
    std::getline(std::ifstream(file), line);
    return line;
}

struct SftpLogIns {
    explicit SftpLogIns(MainDialog& window) : dialog(window) {}
    // Logs in afresh, answering the host-key question (none expected without an answer).
    bool LogIn(std::optional<CertificateAnswer> answer) {
        asked.clear();
        ScopedHostKeyDialogHook hook([&](QWidget*, const HostKeyQuestion& question) {
            asked.push_back(question);
            EXPECT_TRUE(answer.has_value()) << "asked although the key is known";
            return answer.value_or(CertificateAnswer::Cancel);
        });
        dialog.DispatchCommand(IDC_LOGOUT);
        dialog.DispatchCommand(IDC_LOGIN);
        EXPECT_TRUE(test::WaitUntilIdle(dialog));
        return dialog.Session().Connected();
    }
    MainDialog& dialog;
    std::vector<HostKeyQuestion> asked;
};

TEST(SecureLogin, SftpHostKeysAreAskedAboutRememberedAndRefusedOnceChanged) {
    test::SshdServer server;
    ASSERT_TRUE(server.Ready()) << server.Failure();
    const ScopedHome home;
    MainDialog dialog({});
    test::FillSite(dialog, server);
    const QString keysFile = TrustStore::HostKeysBeside(dialog.SettingsPath());
    test::MessageRecorder messages;
    SftpLogIns session(dialog);

    EXPECT_FALSE(session.LogIn(CertificateAnswer::Cancel));
    EXPECT_TRUE(session.LogIn(CertificateAnswer::AlwaysTrust));
    ASSERT_EQ(session.asked.size(), 1u);
    const HostKeyInfo key = session.asked[0].key;
    EXPECT_EQ(key.type, "ssh-ed25519");
    EXPECT_TRUE(key.sha256.starts_with("SHA256:"));
    EXPECT_FALSE(session.asked[0].recordedBefore);
    const QString tip = Padlock(dialog)->toolTip();
    EXPECT_TRUE(Padlock(dialog)->isVisibleTo(&dialog));
    EXPECT_TRUE(tip.contains("SSH") && tip.contains("cipher") &&
                tip.contains(QString::fromStdString(key.sha256)))
        << tip.toStdString();
    namespace fs = std::filesystem;
    EXPECT_EQ(fs::status(keysFile.toStdString()).permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_TRUE(session.LogIn(std::nullopt)); // remembered

    // Another key recorded for the server: said, and refused whatever the answer.
    ASSERT_TRUE(TrustStore(keysFile).Remember("127.0.0.1", server.Address().port, "SHA256:old"));
    EXPECT_FALSE(session.LogIn(CertificateAnswer::AlwaysTrust));
    ASSERT_EQ(session.asked.size(), 1u);
    EXPECT_EQ(session.asked[0].recordedBefore, "SHA256:old");
    EXPECT_EQ(session.asked[0].recordedIn, keysFile.toStdString());
    fs::remove(keysFile.toStdString());

    // OpenSSH's own known hosts: its key goes without a question, another is refused.
    const std::string entry = "[127.0.0.1]:" + std::to_string(server.Address().port) + " ";
    const std::string publicKey = FirstLine(server.HostKeyPublic());
    std::ofstream(home.Ssh() / "known_hosts") << entry << publicKey << "\n";
    EXPECT_TRUE(session.LogIn(std::nullopt));
    const auto other = home.Ssh() / "other";
    ASSERT_EQ(std::system(("ssh-keygen -q -t ed25519 -N '' -f " + other.string() + " >/dev/null").c_str()),
              0);
    std::ofstream(home.Ssh() / "known_hosts") << entry << FirstLine(other.string() + ".pub") << "\n";
    EXPECT_FALSE(session.LogIn(CertificateAnswer::Trust));
    ASSERT_EQ(session.asked.size(), 1u);
    EXPECT_TRUE(session.asked[0].recordedBefore && session.asked[0].recordedBefore != key.sha256);
    EXPECT_TRUE(messages.Calls().empty()); // a key turned down needs no message of its own
}

TEST(SecureLogin, SftpWithoutAPasswordLogsInByKeyAfterItsPassphrase) {
    test::SshdServer server;
    ASSERT_TRUE(server.Ready()) << server.Failure();
    const ScopedHome home;
    const auto key = home.Ssh() / "id_ed25519";
    ASSERT_EQ(std::system(("ssh-keygen -q -t ed25519 -N secret -f " + key.string() + " >/dev/null").c_str()),
              0);
    std::ofstream(server.AuthorizedKeys()) << FirstLine(key.string() + ".pub") << "\n";
    MainDialog dialog({});
    test::FillSite(dialog, test::SiteAddress(server), server.Address().user, "");
    SftpLogIns session(dialog);
    std::vector<std::string> given{"wrong", "secret"};
    std::vector<std::string> askedFor;
    ScopedPassphraseDialogHook passphrases(
        [&](QWidget*, const std::string& keyFile) -> std::optional<std::string> {
            askedFor.push_back(keyFile);
            if (given.empty()) {
                return std::nullopt;
            }
            std::string next = given.front();
            given.erase(given.begin());
            return next;
        });
    EXPECT_TRUE(session.LogIn(CertificateAnswer::Trust));
    EXPECT_EQ(askedFor, (std::vector<std::string>{key.string(), key.string()}));

    // Cancelled at the passphrase: the log-in is refused, and said.
    test::MessageRecorder messages;
    EXPECT_FALSE(session.LogIn(CertificateAnswer::Trust));
    ASSERT_EQ(messages.Calls().size(), 1u);
    EXPECT_TRUE(messages.Calls()[0].text.contains("username/password"))
        << messages.Calls()[0].text.toStdString();
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

TEST(TrustDialogs, EachButtonGivesItsAnswerAndAChangeIsSaidLoudly) {
    const CertificateQuestion changed{{"ftp.example.org", "CN=ftp.example.org", "CN=ftp.example.org", "a",
                                       "b", "CD:EF", "self-signed certificate", "TLSv1.3", ""},
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

    // A changed host key can only be refused.
    const HostKeyDialog changedKey(
        {{"example.org", 22, "ssh-ed25519", "SHA256:new", {}}, "SHA256:old", "known"}, nullptr);
    EXPECT_EQ(changedKey.Button(CertificateAnswer::Trust), nullptr);
    EXPECT_EQ(changedKey.Button(CertificateAnswer::AlwaysTrust), nullptr);
    EXPECT_TRUE(changedKey.findChild<QLabel*>()->text().contains("CHANGED"));
}

} // namespace
} // namespace tidewell
