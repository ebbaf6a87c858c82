#pragma once

#include "gui/app/GuiThreadBridge.h"
#include "core/app/WorkerThread.h"
#include "core/remote/RemoteSession.h"
#include "core/remote/RowComparison.h"
#include "core/remote/ftp/FtpConnection.h"
#include "core/remote/ftp/FtpSession.h"

#include <QDialog>
#include <QIcon>
#include <QString>

#include <array>
#include <functional>
#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QMenuBar;
class QPushButton;
class QTabBar;

namespace tidewell {

class ListViewControl;
class SettingsDocument;
class SiteProfilesHost;
class TabControl;
class TabPane;
class TooltipSwitch;

// The program's one window: the seven site panes, the remote listing, the
// transfer displays and the state shared by every command of the window.
// Engines and workers reach it through its window interface.
class MainDialog : public QDialog, public SessionWindow {
    Q_OBJECT
public:
    static constexpr int kSiteCount = 7;

    // commandWords: the local paths named on the command line, uploaded at start-up.
    explicit MainDialog(std::vector<std::string> commandWords, QWidget* parent = nullptr);
    ~MainDialog() override;

    // Controls by template id; nullptr for an id the window does not have.
    QWidget* Control(int id) const;
    template <class T> T* ControlAs(int id) const { return qobject_cast<T*>(Control(id)); }
    // Menu items by command id; nullptr for a separator or unknown id.
    QAction* MenuAction(int id) const;
    QMenuBar* MenuBar() const { return menuBar_; }
    ListViewControl* RemoteList() const;
    QTabBar* SiteTabBar() const;
    TabControl* SiteTabs() const;
    TabPane* Pane(int index) const { return sitePanes.at(static_cast<std::size_t>(index)); }

    // Runs the handler of a button or menu command; false for an id without one.
    bool DispatchCommand(int id);

    // Busy (false) or idle (true): enables what may start a run, switch sites
    // or open another settings file only while idle.
    void SetIdleState(bool idleNow) override;
    // The not-connected state: empty, disabled listing and log-in offered.
    void ShowLoggedOut() override;

    void ClearSiteModified();
    bool AnySiteModified() const;
    // Pulls every pane, then checks that the current site can be connected to;
    // says what is missing (if showMessages) and puts the focus there.
    bool ValidateSite(bool showMessages);
    void PullSiteFields();

    // The window title as the program sees it, free of Qt's "[*]" placeholder escaping.
    QString Title() const;
    void SetTitle(const QString& title);
    // "Tidewell - [" + settingsPath + "]".
    void SetPlainTitle();

    // Ends the FTP connection, if any.
    void Disconnect();
    // Opens the connection for the current site (see RemoteSession).
    bool Connect(bool showErrors);
    // Moves to the current site's directory, connecting first if needed, and lists it.
    void ChangeDirectory();
    // One directory level up from the site's stored directory, then lists it.
    void GoUp();
    // Bounds every wait of the connections made from now on.
    void SetSessionTimeout(std::chrono::milliseconds timeout) { session.SetTimeout(timeout); }

    // The window interface, on the GUI thread.
    int ShowMessageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                       MessageButtons buttons) override;
    void SetFileNameText(const std::string& text) override;
    void DeliverListing(ListingResult result) override;
    void PullCurrentSite() override;
    SiteProfile& CurrentSite() override;
    void ShowSiteDirectory(const std::string& directory) override;
    void FocusSiteDirectory() override;
    void ClearRemoteList() override;
    void ShowWaitCursor() override;
    void StartListing() override;

    // The exit path: asks whether to save modified sites, then ends the dialog.
    // Nothing happens while a run is busy.
    void accept() override;
    // Ends the dialog without the question (Escape); nothing happens while busy.
    void reject() override;
    void done(int result) override;

    // State shared with the commands of the window.
    std::vector<std::string> commandWords;
    bool savePasswords = true;
    bool tooltipsEnabled = true;
    bool showDetails = false;
    SortOrder sortOrder; // the column and direction of the last header click
    bool saveOnExit = false;
    bool idle = true;
    bool connected = false;
    int nextIconIndex = 1;
    QString windowsDir;   // folder of the default settings file
    QString settingsPath; // the current settings file
    QIcon appIcon;
    std::vector<QIcon> listImages; // 0 generic file, 1 folder, then one per listed file
    TabPane* currentPane = nullptr;
    std::array<TabPane*, kSiteCount> sitePanes{};

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildWindow();
    void BuildMenu();
    void InitDialog();
    void OnSiteTabChanged(int index);
    void RefreshCursor();
    void TearDown();
    void SetEnabled(int id, bool enabled);

    // Start-up and tear-down steps that belong to the preferences, the settings
    // file, the start-up upload, the layout and the help window.
    void ReadPreferences();
    void OpenStartupSettings();
    void TakeCommandWords();
    void RecordLayout();
    void StartCommandUpload();
    void CloseHelp();
    void WritePreferences();
    void SaveSettingsOnExit();
    // Runs a settings command on the current file; settingsPath follows where
    // the command leaves it.
    bool RunSettingsCommand(const std::function<bool(SettingsDocument&)>& command);

    // Command handlers.
    void OnCancelTransfer();
    void OnViewLocalDisk();
    void OnLogin();
    void OnLogout();
    void OnHome();
    void OnBrowse();
    void OnUpload();
    void OnDownload();
    void OnDetails();
    void OnUp();
    void OnDelete();
    void OnNewDir();
    void OnOpenPreferences();
    void OnSavePreferences();
    void OnSavePreferencesAs();
    void OnSavePasswords();
    void OnExit();
    void OnHelp();
    void OnHelpContents();
    void OnToolTips();
    void OnAbout();
    void OnListDoubleClick();
    void OnColumnClick(int column);

    struct Command {
        int id;
        void (MainDialog::*handler)();
    };
    static const Command kCommands[];

    // The settings file and the File menu's profile commands, working on the panes.
    std::unique_ptr<SiteProfilesHost> settingsHost_;
    std::unique_ptr<SettingsDocument> settings_;
    QMenuBar* menuBar_ = nullptr;
    QWidget* client_ = nullptr;
    TooltipSwitch* tooltipSwitch_ = nullptr;
    std::map<int, QWidget*> controls_;
    std::map<int, QAction*> actions_;
    bool tornDown_ = false;

public:
    // The one internet session, the connection it made and where the server put us.
    ftp::FtpSession session;
    std::unique_ptr<ftp::FtpConnection> connection;
    std::string currentRemoteDir;
    WorkerThread workerThread;

private:
    GuiThreadBridge bridge_;
    BridgedWindow workerWindow_{*this, bridge_}; // the window as workers see it
    RemoteSession remoteSession_{{session, connection, connected, currentRemoteDir}, *this};
};

} // namespace tidewell
