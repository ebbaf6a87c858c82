#pragma once

#include "core/app/Run.h"
#include "core/profiles/SiteProfile.h"
#include "core/remote/ListingEngine.h"
#include "core/remote/ftp/FtpSession.h"
#include "core/session/ConnectionMaker.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tidewell {

class RemoteFileSystem;
class RemoteSession;

inline constexpr const char* kListingWaitText = "Connecting, Please Wait...";

// What a listing run leaves for the window to show.
struct ListingOutcome {
    bool connected = false;                   // logged in at the end
    std::optional<std::string> siteDirectory; // what the site's Directory field shows now
    bool focusDirectory = false;              // the Directory field was wrong
    std::optional<ListingResult> listing;     // the directory read, when it was
    std::optional<TransferEnding> ending;     // a transfer's end, said after the listing
};

// How a run that ends on a listing ended: the transfer's end when there was
// one, else the listing read; nothing when neither says it.
std::optional<UserMessage> DescribeEnding(const ListingOutcome& outcome);

// The listing run: connects and logs in when there is no connection, moves to
// the site's directory (an empty one stands for the login directory) and reads
// it. Every failure is said in the run, as a message box, and the outcome tells
// the window what to show. A cancel abandons the attempt and the connection.
class ListingRun : public Run {
public:
    using Done = std::function<void(ListingOutcome)>;

    ListingRun(RemoteSession& session, SiteProfile site, Done done);

    bool LogsInItself() const override { return true; }
    void Execute(RunContext& context) override;
    void Finish() override;
    std::optional<UserMessage> EndingMessage() const override { return DescribeEnding(outcome_); }

    // The two halves of Execute, for runs that work in the site's directory
    // in between. Connects when there is no connection, else moves to the
    // site's directory; false, having said why, when that failed.
    bool Prepare(RunContext& context);
    // Reads the directory when `ready`, and notes whether the run ends connected.
    void Conclude(RunContext& context, bool ready);
    // More connections like the one Prepare made, for a run that moves files
    // over several; none when Prepare found the window's connection (the
    // window makes them then) or the site's address cannot be read.
    std::optional<ConnectionMaker> MoreConnections(const RemoteFileSystem& connection) const;
    // What a transfer run in between came to, said after the listing.
    void SetEnding(TransferEnding ending) { outcome_.ending = std::move(ending); }

private:
    bool Connect(RunContext& context);
    // What becomes of a certificate nothing vouches for: one the user always
    // trusts for this server goes on, any other as the user answers.
    ftp::CertificateVerdict Decide(RunContext& context, const ftp::CertificateInfo& certificate,
                                   std::uint16_t port);
    // What becomes of an SSH host key the user's known hosts do not hold: one
    // always trusted goes on, a changed one is refused, any other as the user answers.
    HostKeyVerdict DecideHostKey(RunContext& context, const HostKeyInfo& key);
    bool ChangeDirectory(RunContext& context);
    void ShowFtpError(RunContext& context, const std::string& text);

    RemoteSession& remote_;
    const ftp::FtpSession session_;
    const SiteProfile site_;
    const QString trustFile_;
    std::string loginDirectory_;
    std::string listed_; // the full path of the directory read
    bool loggedIn_ = false;
    KeyPassphrases passphrases_; // given on this run's thread, handed over in Finish
    ListingOutcome outcome_;
    Done done_;
};

} // namespace tidewell
