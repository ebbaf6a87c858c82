#pragma once

#include "core/app/RunController.h"
#include "core/app/WindowInterface.h"
#include "core/profiles/SiteProfileSet.h"
#include "core/session/RemoteSession.h"
#include "gui/app/GuiThreadBridge.h"

#include <QDialog>
#include <QPointer>
#include <QString>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QMenuBar;
class QTabBar;
class QUrl;

namespace tidewell {

class BrowseCommand;
class ConnectionCountMenu;
class ConnectionLogWindow;
class DownloadCommand;
class HelpWindow;
class ListViewControl;
class ManageCommands;
class PadlockLabel;
class ProfileCommands;
class SitePanes;
class TabControl;
class TabPane;
class TooltipSwitch;
class TransferStatusView;
class UploadCommand;
class WindowLayout;

// The program's one window. It owns the parts — the site profiles and their
// panes, the profile commands, the remote session, the run controller — and
// wires the commands of its buttons and menu to them. Runs reach it only
// through the window interface, carried to the GUI thread by the bridge.
class MainDialog : public QDialog, private RunHost, private WindowInterface {
    Q_OBJECT
public:
    // commandWords: the local paths named on the command line, uploaded at start-up.
    explicit MainDialog(std::vector<std::string> commandWords, QWidget* parent = nullptr);
    ~MainDialog() override;

    // Controls by template id; nullptr for an id the window does not have.
    QWidget* Control(int id) const;
    template <class T> T* ControlAs(int id) const { return qobject_cast<T*>(Control(id)); }
    // Menu items by command id; nullptr for a separator or unknown id.
    QAction* MenuAction(int id) const;
    // File > Parallel Connections.
    ConnectionCountMenu* ConnectionCount() const { return connectionCount_; }
    QMenuBar* MenuBar() const { return menuBar_; }
    ListViewControl* RemoteList() const;
    QTabBar* SiteTabBar() const;
    TabControl* SiteTabs() const;
    TabPane* Pane(std::size_t site) const;
    TabPane* CurrentPane() const;

    // Runs the handler of a button or menu command; false for an id without one.
    bool DispatchCommand(int id);

    // State, for reading.
    const SiteProfileSet& Sites() const { return sites_; }
    const RemoteSession& Session() const { return remote_; }
    bool Busy() const { return runs_.Busy(); }
    QString SettingsPath() const;
    bool TooltipsEnabled() const { return tooltipsEnabled_; }
    // Whether the exit question was answered Yes.
    bool SavesOnExit() const { return saveOnExit_; }
    // The window title as the program sees it, free of Qt's "[*]" placeholder escaping.
    QString Title() const;

    // Bounds every wait of the connections made from now on.
    void SetSessionTimeout(std::chrono::milliseconds timeout) { remote_.SetTimeout(timeout); }

    // The exit path: asks whether to save modified sites, then ends the dialog.
    // Escape outside a site pane takes it too; Enter never does.
    // Nothing happens while a run is busy.
    void accept() override;
    void reject() override;
    void done(int result) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    // The upload command takes drops.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // RunHost
    void SetIdleState(bool idle) override;
    WindowInterface& RunWindow() override { return runWindow_; }
    void PostToGuiThread(std::function<void()> task) override;
    // WindowInterface, on the GUI thread
    Answer Ask(const UserMessage& message) override;
    void SetFileNameText(const std::string& text) override;
    void ShowTransfer(const TransferDisplay& display) override;
    OverwriteAnswer AskOverwrite(const OverwriteQuestion& question) override;
    CertificateAnswer AskCertificate(const CertificateQuestion& question) override;
    CertificateAnswer AskHostKey(const HostKeyQuestion& question) override;
    std::optional<std::string> AskPassphrase(const std::string& keyFile) override;

    void BuildWindow();
    void BuildMenu();
    // The remote list's context menu and keys.
    void BuildListMenu();
    void InitDialog();
    void WritePreferences();
    void SetTitle(const QString& title);
    void OnSiteTabChanged(int index);
    void RefreshCursor();
    void TearDown();
    void SetEnabled(int id, bool enabled);
    // The not-connected state: empty, disabled listing and log-in offered.
    void ShowLoggedOut();
    void LogOut();

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
    void ShowHelpPage(const QUrl& page);
    void OnConnectionLog();
    void OnToolTips();
    void OnAbout();

    struct Command {
        int id;
        void (MainDialog::*handler)();
    };
    static const Command kCommands[];

    // The local paths named on the command line, until the start-up upload has taken them.
    std::vector<std::string> commandWords_;
    bool tooltipsEnabled_ = true;
    bool saveOnExit_ = false;
    bool tornDown_ = false;
    // Where the keyboard focus was when the running run started.
    QPointer<QWidget> runStarter_;

    QMenuBar* menuBar_ = nullptr;
    ConnectionCountMenu* connectionCount_ = nullptr;
    QWidget* client_ = nullptr;
    TooltipSwitch* tooltipSwitch_ = nullptr;
    std::map<int, QWidget*> controls_;
    std::map<int, QAction*> actions_;

    SiteProfileSet sites_;
    SitePanes* panes_ = nullptr;
    std::unique_ptr<ProfileCommands> profiles_;
    std::unique_ptr<BrowseCommand> browse_;
    std::unique_ptr<DownloadCommand> download_;
    std::unique_ptr<UploadCommand> upload_;
    std::unique_ptr<ManageCommands> manage_;
    TransferStatusView* transferStatus_ = nullptr;
    PadlockLabel* padlock_ = nullptr;
    // The help viewer, made on the first help request and reused; closed at tear-down.
    HelpWindow* help_ = nullptr;
    // The connection log's window, made on first use and reused; closed at tear-down.
    ConnectionLogWindow* connectionLog_ = nullptr;
    std::unique_ptr<WindowLayout> listingLayout_;
    RemoteSession remote_;
    GuiThreadBridge bridge_;
    BridgedWindow runWindow_{*this, bridge_};
    // Last, so that it goes first: no run outlives what it works with.
    RunController runs_{*this, remote_};
};

} // namespace tidewell
