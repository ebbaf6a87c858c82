#pragma once

#include "fixtures/FtpServers.h"
#include "gui/app/MainDialog.h"
#include "gui/profiles/TabPane.h"

#include <QLineEdit>
#include <QTest>

#include <chrono>
#include <string>

namespace tidewell::test {

// Types the site's fields into the current pane.
inline void FillSite(MainDialog& dialog, const std::string& address, const std::string& user = "u",
                     const std::string& password = "p") {
    TabPane* pane = dialog.CurrentPane();
    pane->AddressEdit()->setText(QString::fromStdString(address));
    pane->UsernameEdit()->setText(QString::fromStdString(user));
    pane->PasswordEdit()->setText(QString::fromStdString(password));
}

inline std::string SiteAddress(const FtpServer& server) {
    return server.Scheme() + server.Address().host + ":" + std::to_string(server.Address().port);
}

inline void FillSite(MainDialog& dialog, const FtpServer& server) {
    FillSite(dialog, SiteAddress(server), server.Address().user, server.Address().password);
}

// Runs the window's events until the run has ended; false after the bound.
inline bool WaitUntilIdle(const MainDialog& dialog, std::chrono::seconds bound = std::chrono::seconds(30)) {
    return QTest::qWaitFor([&] { return !dialog.Busy(); }, static_cast<int>(bound.count() * 1000));
}

} // namespace tidewell::test
