#include "gui/app/MainDialog.h"

#include "core/profiles/DataLocations.h"
#include "core/profiles/Preferences.h"
#include "core/remote/TrustStore.h"
#include "core/transfer/DownloadRun.h"
#include "gui/app/WindowLayout.h"
#include "gui/manage/ManageCommands.h"
#include "gui/profiles/ProfileCommands.h"
#include "gui/profiles/SitePanes.h"
#include "gui/profiles/TabPane.h"
#include "gui/remote/BrowseCommand.h"
#include "gui/remote/CertificateDialog.h"
#include "gui/remote/ConnectionLogWindow.h"
#include "gui/remote/HostKeyDialog.h"
#include "gui/remote/ListViewControl.h"
#include "gui/remote/PadlockLabel.h"
#include "gui/remote/RemoteListMenu.h"
#include "gui/remote/RemoteListModel.h"
#include "gui/transfer/ConnectionCountMenu.h"
#include "gui/transfer/DownloadCommand.h"
#include "gui/transfer/TransferDialogs.h"
#include "gui/transfer/TransferStatusView.h"
#include "gui/transfer/UploadCommand.h"
#include "gui/ui/AboutDialog.h"
#include "gui/ui/AnimationControl.h"
#include "gui/ui/DesktopServices.h"
#include "gui/ui/DialogUnits.h"
#include "gui/ui/HelpWindow.h"
#include "gui/ui/MessageBox.h"
#include "gui/ui/TabControl.h"
#include "gui/ui/TemplateBuilder.h"
#include "gui/ui/TooltipSwitch.h"
#include "resources/DialogTemplate.h"
#include "resources/ResourceIds.h"
#include "resources/Resources.h"

#include <QAction>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>
#include <QUrl>
#include <QVBoxLayout>

namespace tidewell {

using namespace res;

const MainDialog::Command MainDialog::kCommands[] = {
    {IDC_CANCEL_TRANSFER, &MainDialog::OnCancelTransfer},
    {IDC_VIEW_LOCAL_DISK, &MainDialog::OnViewLocalDisk},
    {IDC_LOGIN, &MainDialog::OnLogin},
    {IDC_LOGOUT, &MainDialog::OnLogout},
    {IDC_HOME, &MainDialog::OnHome},
    {IDC_BROWSE, &MainDialog::OnBrowse},
    {IDC_UPLOAD, &MainDialog::OnUpload},
    {IDC_DOWNLOAD, &MainDialog::OnDownload},
    {IDC_DETAILS, &MainDialog::OnDetails},
    {IDC_UP, &MainDialog::OnUp},
    {IDC_DELETE, &MainDialog::OnDelete},
    {IDC_NEW_DIR, &MainDialog::OnNewDir},
    {ID_FILE_OPEN_PREFERENCES, &MainDialog::OnOpenPreferences},
    {ID_FILE_SAVE_PREFERENCES, &MainDialog::OnSavePreferences},
    {ID_FILE_SAVE_PREFERENCES_AS, &MainDialog::OnSavePreferencesAs},
    {ID_FILE_SAVE_PASSWORDS, &MainDialog::OnSavePasswords},
    {ID_FILE_EXIT, &MainDialog::OnExit},
    {ID_HELP, &MainDialog::OnHelp},
    {ID_HELP_CONTENTS, &MainDialog::OnHelpContents},
    {ID_HELP_CONNECTION_LOG, &MainDialog::OnConnectionLog},
    {ID_HELP_TOOLTIPS, &MainDialog::OnToolTips},
    {IDC_ABOUT, &MainDialog::OnAbout},
};

MainDialog::MainDialog(std::vector<std::string> words, QWidget* parent)
    : QDialog(parent), commandWords_(std::move(words)) {
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setFont(DialogFont());
    // Files dropped on the window are uploaded.
    setAcceptDrops(true);
    BuildWindow();
    InitDialog();
}

MainDialog::~MainDialog() {
    // A run still going is let go of the window (its questions answer Cancel) and waited for.
    bridge_.Shutdown();
    runs_.Shutdown();
}

void MainDialog::BuildWindow() {
    const DialogTemplate& main = MainDialogTemplate();
    const DialogUnits units(font());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    BuildMenu();
    layout->setMenuBar(menuBar_);

    // The controls are placed by the template, in the area below the menu.
    client_ = new QWidget(this);
    layout->addWidget(client_, 1);
    controls_ = BuildTemplateControls(main, client_, units);
    // On the Dir(s) counter's right end, so that it moves with the counters.
    padlock_ = new PadlockLabel(*ControlAs<QLabel>(IDC_DIR_COUNT));
    const QSize clientSize(units.ToPixelsX(main.width), units.ToPixelsY(main.height));
    resize(clientSize.width(), clientSize.height() + menuBar_->sizeHint().height());

    // "&Home" shares Alt+H with the Help menu, which takes it.
    ControlAs<QPushButton>(IDC_HOME)->setShortcut(QKeySequence());

    for (const Command& command : kCommands) {
        if (auto* button = qobject_cast<QPushButton*>(Control(command.id))) {
            const int id = command.id;
            connect(button, &QPushButton::clicked, this, [this, id] { DispatchCommand(id); });
        }
    }
}

void MainDialog::BuildMenu() {
    menuBar_ = new QMenuBar(this);
    QMenu* menu = nullptr;
    QString menuTitle;
    for (const MenuItemTemplate& item : MainMenuTemplate()) {
        const QString title = TemplateText(item.menu);
        if (menu == nullptr || title != menuTitle) {
            menu = menuBar_->addMenu(title);
            menuTitle = title;
        }
        if (item.id == 0) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(TemplateText(item.text));
        action->setCheckable(item.checkable);
        action->setChecked(item.checked);
        action->setProperty("commandId", item.id);
        const int id = item.id;
        connect(action, &QAction::triggered, this, [this, id] { DispatchCommand(id); });
        actions_[item.id] = action;
    }
    connectionCount_ = new ConnectionCountMenu(Preferences::kMaxConnections, this);
    // In the File menu, before Exit: the menu made the action, and owns it.
    auto* file = qobject_cast<QMenu*>(MenuAction(ID_FILE_EXIT)->parent());
    file->insertMenu(MenuAction(ID_FILE_EXIT), connectionCount_);
    file->insertSeparator(MenuAction(ID_FILE_EXIT));
}

void MainDialog::InitDialog() {
    sites_.OnTitleChanged([this](const QString& title) { SetTitle(title); });
    // A folder that cannot be made shows up when the default file cannot be created.
    EnsureDataFolder();
    setWindowIcon(LoadIcon(IDI_APP));

    QTabBar* tabs = SiteTabBar();
    for (std::size_t i = 1; i <= kSiteCount; ++i) {
        tabs->addTab(QStringLiteral("Site %1").arg(i));
    }
    // The panes are the dialog's own children laid over the tab control, so that
    // disabling the tabs while busy leaves their fields readable.
    panes_ = new SitePanes(sites_, client_, SiteTabs()->DisplayArea().topLeft() + QPoint(3, 5));
    CurrentPane()->setFocus();
    for (std::size_t site = 0; site < kSiteCount; ++site) {
        connect(Pane(site)->PasswordEdit(), &QLineEdit::returnPressed, this, [this] {
            if (Control(IDC_LOGIN)->isEnabled()) {
                DispatchCommand(IDC_LOGIN);
            }
        });
    }
    connect(tabs, &QTabBar::currentChanged, this, &MainDialog::OnSiteTabChanged);

    profiles_ = std::make_unique<ProfileCommands>(
        sites_, *panes_, this, [this] { LogOut(); }, DefaultSettingsPath());
    const Preferences prefs = PreferencesStore().Load(profiles_->Document().DefaultPath());
    ControlAs<QLineEdit>(IDC_DOWNLOAD_FOLDER)->setText(prefs.downloadFolder);
    tooltipsEnabled_ = prefs.tooltipsEnabled;
    connectionCount_->SetCount(prefs.connections);
    sites_.SetSavePasswords(prefs.savePasswords);
    profiles_->Document().SetPath(prefs.settingsPath);
    // The settings file at the preferences' path, or else the default one, created when needed.
    profiles_->Document().OpenAtStartUp();

    ControlAs<QLineEdit>(IDC_FILE_PERCENT)->setText(QStringLiteral("0%"));
    ControlAs<QLineEdit>(IDC_BYTES)->setText(QStringLiteral("of 0 Bytes"));
    ControlAs<QLineEdit>(IDC_SESSION_PERCENT)->setText(QStringLiteral("0%"));
    ControlAs<QLineEdit>(IDC_THROUGHPUT)->setText(QStringLiteral("0 KB/sec."));
    ControlAs<QLineEdit>(IDC_TIME_REMAINING)->setText(QStringLiteral("0 Sec(s)."));

    static const ListViewControl::Column kColumns[] = {
        {QStringLiteral("File"), 200},
        {QStringLiteral("Size"), 90},
        {QStringLiteral("Type"), 120},
        {QStringLiteral("Date"), 120},
    };
    RemoteList()->SetColumns(kColumns);
    RemoteList()->SetHeaderDragDrop(true);
    tooltipSwitch_ = new TooltipSwitch(this);
    for (const TooltipTemplate& tip : MainTooltips()) {
        // The texts escape "&" as "&&"; tooltips show them literally.
        Control(tip.controlId)
            ->setToolTip(TemplateText(tip.text).replace(QStringLiteral("&&"), QStringLiteral("&")));
    }
    MenuAction(ID_HELP_TOOLTIPS)->setChecked(tooltipsEnabled_);
    MenuAction(ID_FILE_SAVE_PASSWORDS)->setChecked(sites_.SavePasswords());
    tooltipSwitch_->SetEnabled(tooltipsEnabled_);

    RemoteList()->Model()->SetFixedIcons(LoadIcon(IDI_FILE), LoadIcon(IDI_FOLDER));
    connect(RemoteList(), &ListViewControl::RowActivated, this, [this] { browse_->OpenSelected(); });
    connect(RemoteList(), &ListViewControl::ColumnClicked, this,
            [this](int column) { browse_->SortBy(column); });

    // Not played until a transfer runs.
    ControlAs<AnimationControl>(IDC_ANIMATION)->Open(IDR_TRANSFER_ANIMATION);
    transferStatus_ = new TransferStatusView([this](int id) { return Control(id); }, this);
    remote_.SetTrustFileSource([this] { return TrustStore::PathBeside(SettingsPath()); });
    download_ = std::make_unique<DownloadCommand>(
        DownloadCommand::Parts{this, ControlAs<QLineEdit>(IDC_DOWNLOAD_FOLDER), RemoteList(), *panes_, sites_,
                               remote_, [this] { return connectionCount_->Count(); }});
    browse_ = std::make_unique<BrowseCommand>(BrowseCommand::Parts{
        this, *this, *RemoteList(), *ControlAs<QLabel>(IDC_FILE_COUNT), *ControlAs<QLabel>(IDC_DIR_COUNT),
        *ControlAs<QLabel>(IDC_TOTAL_SIZE), *panes_, sites_, remote_, runs_, *transferStatus_});
    upload_ = std::make_unique<UploadCommand>(UploadCommand::Parts{
        this, *panes_, sites_, remote_, runs_, *browse_, [this] { return connectionCount_->Count(); }});
    upload_->TakeCommandWords(commandWords_);
    commandWords_.clear();
    manage_ = std::make_unique<ManageCommands>(
        ManageCommands::Parts{this, *RemoteList(), *ControlAs<QLabel>(IDC_DIR_COUNT), remote_, runs_,
                              *browse_, [this] { return connectionCount_->Count(); }});
    RemoteList()->SetLabelEditing(true);
    BuildListMenu();
    // Queued: the run starts once the editor has closed, not from inside its commit.
    connect(
        RemoteList()->Model(), &RemoteListModel::NameEdited, this,
        [this](int row, const QString& text) { manage_->Rename(row, text); }, Qt::QueuedConnection);
    profiles_->Document().ShowPlainTitle();

    // The listing follows the window from the places its controls were built at.
    layout()->activate();
    listingLayout_ = std::make_unique<WindowLayout>(*client_, [this](int id) { return Control(id); });
    listingLayout_->Record();
    // Smaller, and commands or the Transfer Status would go out of reach.
    client_->setMinimumSize(listingLayout_->MinimumClient());

    upload_->StartCommandUpload();
}

void MainDialog::BuildListMenu() {
    const auto whenButton = [this](int id) { return [this, id] { return Control(id)->isEnabled(); }; };
    const auto command = [this](int id) { return [this, id] { DispatchCommand(id); }; };
    const auto refreshable = [this] { return Control(IDC_LOGIN)->isEnabled() && remote_.Connected(); };
    new RemoteListMenu(
        *RemoteList(),
        {
            {QStringLiteral("&Download"), {}, whenButton(IDC_DOWNLOAD), command(IDC_DOWNLOAD)},
            {QStringLiteral("&Upload Here..."), {}, whenButton(IDC_UPLOAD), command(IDC_UPLOAD)},
            {},
            {QStringLiteral("&Rename"), Qt::Key_F2, [this] { return manage_->CanRename(); },
             [this] { manage_->StartRename(); }},
            {QStringLiteral("&Delete"), Qt::Key_Delete, whenButton(IDC_DELETE), command(IDC_DELETE)},
            {QStringLiteral("&New Directory..."), {}, whenButton(IDC_NEW_DIR), command(IDC_NEW_DIR)},
            {},
            {QStringLiteral("Re&fresh"), Qt::Key_F5, refreshable, command(IDC_LOGIN)},
            {QStringLiteral("&Up"), Qt::Key_Backspace, whenButton(IDC_UP), command(IDC_UP)},
        });
}

QWidget* MainDialog::Control(int id) const {
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

QAction* MainDialog::MenuAction(int id) const {
    const auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

ListViewControl* MainDialog::RemoteList() const {
    return ControlAs<ListViewControl>(IDC_REMOTE_LIST);
}
TabControl* MainDialog::SiteTabs() const {
    return ControlAs<TabControl>(IDC_SITE_TABS);
}
QTabBar* MainDialog::SiteTabBar() const {
    return SiteTabs()->TabBar();
}

bool MainDialog::DispatchCommand(int id) {
    for (const Command& command : kCommands) {
        if (command.id == id) {
            (this->*command.handler)();
            return true;
        }
    }
    return false;
}

TabPane* MainDialog::Pane(std::size_t site) const {
    return panes_->Pane(site);
}
TabPane* MainDialog::CurrentPane() const {
    return panes_->Current();
}

QString MainDialog::SettingsPath() const {
    return profiles_->Document().Path();
}

void MainDialog::SetEnabled(int id, bool enabled) {
    Control(id)->setEnabled(enabled);
}

void MainDialog::SetIdleState(bool idleNow) {
    if (!idleNow) {
        runStarter_ = focusWidget();
        // Disabling the focused control would move the focus on as Tab does,
        // into a text field with all of its text selected.
        if (runStarter_) {
            runStarter_->clearFocus();
        }
    }
    setAcceptDrops(idleNow);
    CurrentPane()->SetReadOnly(!idleNow);
    const bool connected = remote_.Connected();
    for (int id : {IDC_REMOTE_LIST, IDC_LOGIN, IDC_DOWNLOAD, IDC_UPLOAD, IDC_HOME, IDC_UP, IDC_SITE_TABS,
                   IDC_BROWSE, IDC_DELETE, IDC_NEW_DIR}) {
        SetEnabled(id, idleNow);
    }
    SetEnabled(IDC_LOGOUT, idleNow && connected);
    ControlAs<QPushButton>(IDC_LOGIN)->setText(connected ? QStringLiteral("&Refresh")
                                                         : QStringLiteral("&Login"));
    MenuAction(ID_FILE_EXIT)->setEnabled(idleNow);
    MenuAction(ID_FILE_OPEN_PREFERENCES)->setEnabled(idleNow);
    ControlAs<QLineEdit>(IDC_DOWNLOAD_FOLDER)->setReadOnly(!idleNow);
    if (idleNow && !connected) {
        ShowLoggedOut();
    }
    if (idleNow) {
        padlock_->Show(remote_.Encryption());
    }
    RefreshCursor();
    if (idleNow) {
        // Back to the control that started the run, so that the keyboard goes
        // on where it was; after a run started from a text field (Enter in the
        // Password field, the start-up upload) the list is where work goes on.
        const bool keepStarter =
            runStarter_ && !qobject_cast<QLineEdit*>(runStarter_) && runStarter_->isEnabled();
        QWidget* target = keepStarter || !RemoteList()->isEnabled() ? runStarter_.data() : RemoteList();
        if (target != nullptr && target->isEnabled() && target->isVisible()) {
            target->setFocus();
        }
        runStarter_.clear();
    }
}

void MainDialog::RefreshCursor() {
    const bool busy = runs_.Busy();
    if (!busy) {
        unsetCursor();
    } else {
        setCursor(Qt::WaitCursor);
    }
    // Text fields bring their own cursor; while busy the wait cursor covers them too.
    for (QLineEdit* edit : findChildren<QLineEdit*>()) {
        edit->setCursor(busy ? Qt::WaitCursor : edit->isReadOnly() ? Qt::ArrowCursor : Qt::IBeamCursor);
    }
}

void MainDialog::ShowLoggedOut() {
    RemoteList()->Model()->Clear();
    for (int id : {IDC_REMOTE_LIST, IDC_DELETE, IDC_DOWNLOAD, IDC_UPLOAD, IDC_HOME, IDC_UP, IDC_NEW_DIR}) {
        SetEnabled(id, false);
    }
    ControlAs<QPushButton>(IDC_LOGIN)->setText(QStringLiteral("&Login"));
    ControlAs<QLabel>(IDC_FILE_COUNT)->setText(QStringLiteral("File(s):"));
    ControlAs<QLabel>(IDC_TOTAL_SIZE)->setText(QStringLiteral("Total Size:"));
    ControlAs<QLabel>(IDC_DIR_COUNT)->setText(QStringLiteral("Dir(s):"));
    SetEnabled(IDC_LOGOUT, false);
    padlock_->Show(remote_.Encryption());
}

void MainDialog::LogOut() {
    remote_.Disconnect();
    ShowLoggedOut();
}

QString MainDialog::Title() const {
    return windowTitle().replace(QStringLiteral("[*][*]"), QStringLiteral("[*]"));
}

void MainDialog::SetTitle(const QString& title) {
    // Qt reads a lone "[*]" as its modified placeholder; doubled it stays literal.
    QString escaped = title;
    setWindowTitle(escaped.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]")));
}

void MainDialog::OnSiteTabChanged(int index) {
    if (index < 0 || index >= static_cast<int>(kSiteCount)) {
        return;
    }
    panes_->Select(static_cast<std::size_t>(index));
    LogOut();
}

void MainDialog::accept() {
    if (runs_.Busy()) {
        return;
    }
    Answer answer = Answer::No;
    if (sites_.AnyModified()) {
        answer = ShowMessage(this, QStringLiteral("Save your FTP preferences?"),
                             QStringLiteral("Save Confirmation"), MessageIcon::Question,
                             MessageButtons::YesNoCancel);
        if (answer == Answer::Cancel) {
            return;
        }
    }
    saveOnExit_ = answer == Answer::Yes;
    done(Accepted);
}

// Escape takes the exit path too, so that unsaved site edits are never lost to one key.
void MainDialog::reject() {
    accept();
}

void MainDialog::done(int result) {
    // Ending the window while a run still uses its controls is refused.
    if (runs_.Busy()) {
        return;
    }
    QDialog::done(result);
    TearDown();
}

void MainDialog::closeEvent(QCloseEvent* event) {
    // The dialog hides itself when the exit path ends it; closing never destroys it.
    event->ignore();
    accept();
}

void MainDialog::keyPressEvent(QKeyEvent* event) {
    const bool plain = event->modifiers() == Qt::NoModifier ||
                       (event->modifiers() == Qt::KeypadModifier && event->key() == Qt::Key_Enter);
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        // A focused button takes Enter; anywhere else it does nothing (the
        // list and the Password field have taken it already), so that no
        // field ends the program.
        if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
            if (button->isEnabled()) {
                button->click();
            }
        }
        return;
    }
    if (plain && event->key() == Qt::Key_Escape) {
        accept();
        return;
    }
    // The window manager usually takes Alt+F4 as a close request; without one it comes here.
    if (event->modifiers() == Qt::AltModifier && event->key() == Qt::Key_F4) {
        close();
        return;
    }
    QDialog::keyPressEvent(event);
}

// A minimised window keeps its controls as they are; restoring lays them out again.
void MainDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (listingLayout_ && !isMinimized()) {
        listingLayout_->Apply();
    }
}

void MainDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && listingLayout_ && !isMinimized()) {
        listingLayout_->Apply();
    }
}

void MainDialog::dragEnterEvent(QDragEnterEvent* event) {
    upload_->DragEnter(*event);
}

void MainDialog::dragMoveEvent(QDragMoveEvent* event) {
    upload_->DragMove(*event);
}

void MainDialog::dropEvent(QDropEvent* event) {
    upload_->Drop(*event);
}

void MainDialog::TearDown() {
    if (tornDown_) {
        return;
    }
    tornDown_ = true;
    remote_.Disconnect();
    if (help_ != nullptr) {
        help_->close();
    }
    if (connectionLog_ != nullptr) {
        connectionLog_->close();
    }
    WritePreferences();
    if (saveOnExit_) {
        // Runs while the widgets still exist, since a failure is reported in a message box.
        profiles_->Document().SaveOnExit();
    }
}

// Always runs at tear-down.
void MainDialog::WritePreferences() {
    PreferencesStore().Save({ControlAs<QLineEdit>(IDC_DOWNLOAD_FOLDER)->text(), SettingsPath(),
                             tooltipsEnabled_, sites_.SavePasswords(), connectionCount_->Count()});
}

void MainDialog::PostToGuiThread(std::function<void()> task) {
    bridge_.Post(std::move(task));
}

Answer MainDialog::Ask(const UserMessage& message) {
    return ShowMessage(this, QString::fromStdString(message.text), QString::fromStdString(message.caption),
                       message.icon, message.buttons);
}

void MainDialog::SetFileNameText(const std::string& text) {
    ControlAs<QLineEdit>(IDC_FILE_NAME)->setText(QString::fromStdString(text));
}

void MainDialog::ShowTransfer(const TransferDisplay& display) {
    transferStatus_->Show(display);
}

OverwriteAnswer MainDialog::AskOverwrite(const OverwriteQuestion& question) {
    transferStatus_->Flush();
    return tidewell::AskOverwrite(this, question);
}

CertificateAnswer MainDialog::AskCertificate(const CertificateQuestion& question) {
    return tidewell::AskCertificate(this, question);
}

CertificateAnswer MainDialog::AskHostKey(const HostKeyQuestion& question) {
    return tidewell::AskHostKey(this, question);
}

std::optional<std::string> MainDialog::AskPassphrase(const std::string& keyFile) {
    return tidewell::AskPassphrase(this, keyFile);
}

// Ends the running run at its next check; a connection attempt or a wait for
// the server ends at once.
void MainDialog::OnCancelTransfer() {
    runs_.Cancel();
}
// Opens the file manager on the file-system root.
void MainDialog::OnViewLocalDisk() {
    if (!OpenDesktopUrl(QUrl::fromLocalFile(QStringLiteral("/")))) {
        ShowMessage(this, QStringLiteral("Could Not View Local Disk"), QStringLiteral("ERROR"),
                    MessageIcon::Stop);
    }
}
void MainDialog::OnBrowse() {
    download_->Browse();
}
void MainDialog::OnUpload() {
    upload_->Upload(upload_->ChooseFiles());
}
void MainDialog::OnDownload() {
    if (auto request = download_->Prepare()) {
        runs_.Start(std::make_unique<DownloadRun>(std::move(*request), browse_->ShowsListing()));
    }
}
void MainDialog::OnDelete() {
    manage_->Delete();
}
void MainDialog::OnNewDir() {
    manage_->NewDirectory();
}
// Opens the help contents page.
void MainDialog::OnHelp() {
    ShowHelpPage(HelpWindow::ContentsPage());
}
// Opens the help index page.
void MainDialog::OnHelpContents() {
    ShowHelpPage(HelpWindow::IndexPage());
}
void MainDialog::ShowHelpPage(const QUrl& page) {
    if (help_ == nullptr) {
        help_ = new HelpWindow(this);
    }
    help_->ShowPage(page);
}
void MainDialog::OnConnectionLog() {
    if (connectionLog_ == nullptr) {
        connectionLog_ = new ConnectionLogWindow(remote_.Log(), this);
    }
    connectionLog_->Open();
}
// Shows the About box.
void MainDialog::OnAbout() {
    ShowAboutBox(this);
}

void MainDialog::OnOpenPreferences() {
    if (!runs_.Busy()) {
        profiles_->Open();
    }
}

void MainDialog::OnSavePreferences() {
    profiles_->Save();
}

void MainDialog::OnSavePreferencesAs() {
    profiles_->SaveAs();
}

void MainDialog::OnDetails() {
    RemoteList()->SetReportMode(ControlAs<QPushButton>(IDC_DETAILS)->isChecked());
}

void MainDialog::OnExit() {
    accept();
}

void MainDialog::OnToolTips() {
    tooltipsEnabled_ = !tooltipsEnabled_;
    MenuAction(ID_HELP_TOOLTIPS)->setChecked(tooltipsEnabled_);
    tooltipSwitch_->SetEnabled(tooltipsEnabled_);
}

void MainDialog::OnSavePasswords() {
    sites_.SetSavePasswords(!sites_.SavePasswords());
    MenuAction(ID_FILE_SAVE_PASSWORDS)->setChecked(sites_.SavePasswords());
    sites_.MarkPasswordChoiceChanged();
}

void MainDialog::OnLogin() {
    browse_->Refresh();
}

void MainDialog::OnLogout() {
    LogOut();
}

void MainDialog::OnHome() {
    browse_->Home();
}

void MainDialog::OnUp() {
    browse_->Up();
}

} // namespace tidewell
