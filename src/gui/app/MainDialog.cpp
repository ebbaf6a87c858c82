#include "gui/app/MainDialog.h"

#include "core/profiles/DataLocations.h"
#include "core/profiles/Preferences.h"
#include "core/profiles/SettingsDocument.h"
#include "gui/profiles/SiteProfilesHost.h"
#include "gui/profiles/TabPane.h"
#include "core/remote/ListingWorker.h"
#include "core/remote/RemotePath.h"
#include "core/remote/SizeText.h"
#include "resources/DialogTemplate.h"
#include "resources/ResourceIds.h"
#include "resources/Resources.h"
#include "gui/ui/AnimationControl.h"
#include "gui/ui/DialogUnits.h"
#include "gui/ui/FileDialogs.h"
#include "gui/remote/ListViewControl.h"
#include "gui/ui/MessageBox.h"
#include "gui/remote/RemoteListModel.h"
#include "gui/ui/TabControl.h"
#include "gui/ui/TemplateBuilder.h"
#include "gui/ui/TooltipSwitch.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>

namespace tidewell {

using namespace res;

namespace {

// A name typed without a suffix is given the profile files' one.
QString WithProfileSuffix(const QString& path) {
    if (!QFileInfo(path).suffix().isEmpty()) {
        return path;
    }
    return path + (path.endsWith(QLatin1Char('.')) ? QString() : QStringLiteral(".")) +
           QLatin1String(kProfileFileSuffix);
}

} // namespace

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
    {ID_HELP_TOOLTIPS, &MainDialog::OnToolTips},
    {IDC_ABOUT, &MainDialog::OnAbout},
};

MainDialog::MainDialog(std::vector<std::string> words, QWidget* parent)
    : QDialog(parent), commandWords(std::move(words)), appIcon(LoadIcon(IDI_APP)) {
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setFont(DialogFont());
    // Files dropped on the window are uploaded.
    setAcceptDrops(true);
    BuildWindow();
    InitDialog();
}

MainDialog::~MainDialog() {
    // A worker still running is let go of the window and waited for.
    bridge_.Shutdown();
    workerThread.Join();
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
    const QSize clientSize(units.ToPixelsX(main.width), units.ToPixelsY(main.height));
    resize(clientSize.width(), clientSize.height() + menuBar_->sizeHint().height());

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
}

void MainDialog::InitDialog() {
    // Defaults until the preferences say otherwise.
    tooltipsEnabled = true;
    savePasswords = true;

    ReadPreferences();

    sortOrder = SortOrder{};
    idle = true;
    connected = false;
    // The user's locale was set for all categories at start-up, before this window.

    setWindowIcon(appIcon);

    QTabBar* tabs = SiteTabBar();
    for (int i = 1; i <= kSiteCount; ++i) {
        tabs->addTab(QStringLiteral("Site %1").arg(i));
    }

    // The panes are the dialog's own children laid over the tab control, so that
    // disabling the tabs while busy leaves their fields readable.
    const QPoint paneOrigin = SiteTabs()->DisplayArea().topLeft() + QPoint(3, 5);
    for (int i = 0; i < kSiteCount; ++i) {
        auto* pane = new TabPane(client_);
        pane->SetOwner(this);
        pane->move(paneOrigin);
        pane->hide();
        sitePanes[static_cast<std::size_t>(i)] = pane;
    }
    currentPane = sitePanes[0];
    currentPane->show();
    currentPane->raise();
    currentPane->setFocus();
    connect(tabs, &QTabBar::currentChanged, this, &MainDialog::OnSiteTabChanged);

    OpenStartupSettings();

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

    TakeCommandWords();

    RemoteList()->SetHeaderDragDrop(true);

    tooltipSwitch_ = new TooltipSwitch(this);
    for (const TooltipTemplate& tip : MainTooltips()) {
        // The texts escape "&" as "&&"; tooltips show them literally.
        Control(tip.controlId)
            ->setToolTip(TemplateText(tip.text).replace(QStringLiteral("&&"), QStringLiteral("&")));
    }

    MenuAction(ID_HELP_TOOLTIPS)->setChecked(tooltipsEnabled);
    MenuAction(ID_FILE_SAVE_PASSWORDS)->setChecked(savePasswords);
    tooltipSwitch_->SetEnabled(tooltipsEnabled);

    listImages = {LoadIcon(IDI_FILE), LoadIcon(IDI_FOLDER)};
    nextIconIndex = 1;
    RemoteList()->Model()->SetFixedIcons(listImages[0], listImages[1]);
    connect(RemoteList(), &ListViewControl::RowActivated, this, [this] { OnListDoubleClick(); });
    connect(RemoteList(), &ListViewControl::ColumnClicked, this, &MainDialog::OnColumnClick);

    // Not played until a transfer runs.
    ControlAs<AnimationControl>(IDC_ANIMATION)->Open(IDR_TRANSFER_ANIMATION);

    RecordLayout();
    StartCommandUpload();
    SetPlainTitle();
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

void MainDialog::SetEnabled(int id, bool enabled) {
    Control(id)->setEnabled(enabled);
}

void MainDialog::SetIdleState(bool idleNow) {
    setAcceptDrops(idleNow);
    idle = idleNow;
    RefreshCursor();
    currentPane->SetReadOnly(!idle);
    for (int id : {IDC_REMOTE_LIST, IDC_LOGIN, IDC_DOWNLOAD, IDC_UPLOAD, IDC_HOME, IDC_UP, IDC_SITE_TABS,
                   IDC_BROWSE}) {
        SetEnabled(id, idle);
    }
    SetEnabled(IDC_LOGOUT, idle && connected);
    ControlAs<QPushButton>(IDC_LOGIN)->setText(connected ? QStringLiteral("&Refresh")
                                                         : QStringLiteral("&Login"));
    MenuAction(ID_FILE_EXIT)->setEnabled(idle);
    MenuAction(ID_FILE_OPEN_PREFERENCES)->setEnabled(idle);
    SetEnabled(IDC_DELETE, idle);
    SetEnabled(IDC_NEW_DIR, idle);
    ControlAs<QLineEdit>(IDC_DOWNLOAD_FOLDER)->setReadOnly(!idle);
    // Making fields read-only resets their cursors.
    RefreshCursor();
}

void MainDialog::RefreshCursor() {
    if (idle) {
        unsetCursor();
    } else {
        setCursor(Qt::WaitCursor);
    }
    // Text fields bring their own cursor; while busy the wait cursor covers them too.
    for (QLineEdit* edit : findChildren<QLineEdit*>()) {
        edit->setCursor(!idle ? Qt::WaitCursor : edit->isReadOnly() ? Qt::ArrowCursor : Qt::IBeamCursor);
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
}

void MainDialog::ClearSiteModified() {
    for (TabPane* pane : sitePanes) {
        pane->modified = false;
    }
}

bool MainDialog::AnySiteModified() const {
    for (const TabPane* pane : sitePanes) {
        if (pane->modified) {
            return true;
        }
    }
    return false;
}

void MainDialog::PullSiteFields() {
    for (TabPane* pane : sitePanes) {
        pane->Pull();
    }
}

bool MainDialog::ValidateSite(bool showMessages) {
    PullSiteFields();
    const SiteProfile& site = currentPane->profile;
    const char* missing = nullptr;
    QLineEdit* field = nullptr;
    if (site.address.empty()) {
        missing = "You must supply the FTP Internet address";
        field = currentPane->AddressEdit();
    } else if (site.username.empty()) {
        missing = "You must supply the FTP username";
        field = currentPane->UsernameEdit();
    } else if (site.password.empty()) {
        missing = "You must supply the FTP password";
        field = currentPane->PasswordEdit();
    } else {
        return true;
    }
    if (showMessages) {
        ShowMessage(this, QString::fromLatin1(missing), QStringLiteral("ERROR"), MessageIcon::Exclamation);
        field->setFocus();
    }
    return false;
}

QString MainDialog::Title() const {
    return windowTitle().replace(QStringLiteral("[*][*]"), QStringLiteral("[*]"));
}

void MainDialog::SetTitle(const QString& title) {
    // Qt reads a lone "[*]" as its modified placeholder; doubled it stays literal.
    QString escaped = title;
    setWindowTitle(escaped.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]")));
}

void MainDialog::SetPlainTitle() {
    SetTitle(QStringLiteral("Tidewell - [") + settingsPath + QLatin1Char(']'));
}

void MainDialog::OnSiteTabChanged(int index) {
    if (index < 0 || index >= kSiteCount) {
        return;
    }
    for (TabPane* pane : sitePanes) {
        pane->Pull();
        pane->hide();
    }
    currentPane = sitePanes[static_cast<std::size_t>(index)];
    currentPane->show();
    currentPane->raise();
    currentPane->setFocus();
    ShowLoggedOut();
    Disconnect();
}

void MainDialog::accept() {
    if (!idle) {
        return;
    }
    int answer = IdNo;
    if (AnySiteModified()) {
        answer = ShowMessage(this, QStringLiteral("Save your FTP preferences?"),
                             QStringLiteral("Save Confirmation"), MessageIcon::Question,
                             MessageButtons::YesNoCancel);
        if (answer == IdCancel) {
            return;
        }
    }
    saveOnExit = answer == IdYes;
    done(Accepted);
}

void MainDialog::reject() {
    if (idle) {
        done(Rejected);
    }
}

void MainDialog::done(int result) {
    // Ending the window while a worker still uses its controls is refused.
    if (!idle) {
        return;
    }
    QDialog::done(result);
    TearDown();
}

void MainDialog::closeEvent(QCloseEvent* event) {
    // The dialog hides itself when the exit path ends it; closing never destroys it.
    event->ignore();
    if (idle) {
        accept();
    }
}

void MainDialog::keyPressEvent(QKeyEvent* event) {
    const bool plain = event->modifiers() == Qt::NoModifier ||
                       (event->modifiers() == Qt::KeypadModifier && event->key() == Qt::Key_Enter);
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        // A focused button takes Enter; anywhere else Enter is the exit path.
        if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
            if (button->isEnabled()) {
                button->click();
            }
        } else {
            accept();
        }
        return;
    }
    if (plain && event->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
}

void MainDialog::TearDown() {
    if (tornDown_) {
        return;
    }
    tornDown_ = true;
    Disconnect();
    CloseHelp();
    WritePreferences();
    if (saveOnExit) {
        SaveSettingsOnExit();
    }
}

void MainDialog::Disconnect() {
    remoteSession_.Disconnect();
}

// The data folder and the default settings file, then the four preferences
// (settings path, Download To, tooltips, passwords); a missing one keeps its default.
void MainDialog::ReadPreferences() {
    // A folder that cannot be made shows up when the default file cannot be created.
    EnsureDataFolder();
    windowsDir = DataFolder();
    settingsHost_ = std::make_unique<SiteProfilesHost>(*this);
    settings_ = std::make_unique<SettingsDocument>(*settingsHost_, DefaultSettingsPath());

    const Preferences prefs = PreferencesStore().Load(settings_->DefaultPath());
    ControlAs<QLineEdit>(IDC_DOWNLOAD_FOLDER)->setText(prefs.downloadFolder);
    tooltipsEnabled = prefs.tooltipsEnabled;
    savePasswords = prefs.savePasswords;
    settings_->SetPath(prefs.settingsPath);
    settingsPath = settings_->Path();
}

// Loads the settings file at settingsPath, or else the default one, created when needed.
void MainDialog::OpenStartupSettings() {
    RunSettingsCommand([](SettingsDocument& settings) {
        settings.OpenAtStartUp();
        return true;
    });
}

bool MainDialog::RunSettingsCommand(const std::function<bool(SettingsDocument&)>& command) {
    settings_->SetPath(settingsPath);
    const bool done = command(*settings_);
    settingsPath = settings_->Path();
    return done;
}

// Takes the command-line words as the start-up upload's paths.
void MainDialog::TakeCommandWords() {}
// Records the rectangles the resize layout works from.
void MainDialog::RecordLayout() {}
// Logs in to the first site and uploads the command-line words, if there were any.
void MainDialog::StartCommandUpload() {}
// Closes the help window, if open.
void MainDialog::CloseHelp() {}
// Writes the four preferences; always runs at tear-down.
void MainDialog::WritePreferences() {
    PreferencesStore().Save(
        {ControlAs<QLineEdit>(IDC_DOWNLOAD_FOLDER)->text(), settingsPath, tooltipsEnabled, savePasswords});
}

// Saves what the panes show to settingsPath. Runs while the widgets still
// exist, since a failure is reported in a message box.
void MainDialog::SaveSettingsOnExit() {
    RunSettingsCommand([](SettingsDocument& settings) { return settings.SaveOnExit(); });
}

// Sets the cancel flag of the running transfer.
void MainDialog::OnCancelTransfer() {}
// Opens the file manager on the file-system root.
void MainDialog::OnViewLocalDisk() {}
// Chooses the Download To folder.
void MainDialog::OnBrowse() {}
// Chooses local files and uploads them.
void MainDialog::OnUpload() {}
// Downloads the selected rows.
void MainDialog::OnDownload() {}
// Deletes the selected rows.
void MainDialog::OnDelete() {}
// Creates a remote directory.
void MainDialog::OnNewDir() {}
// Opens another settings file, after offering to save unsaved edits.
void MainDialog::OnOpenPreferences() {
    if (!idle) {
        return;
    }
    RunSettingsCommand([this](SettingsDocument& settings) {
        if (!settings.ConfirmBeforeOpen()) {
            return false;
        }
        const QString chosen =
            ChooseOpenFile(this, QStringLiteral("Open"), QString(), QLatin1String(kProfileFileFilter));
        return !chosen.isEmpty() && settings.Open(chosen);
    });
}

// Saves the sites to settingsPath.
void MainDialog::OnSavePreferences() {
    RunSettingsCommand([](SettingsDocument& settings) { return settings.Save(); });
}

// Saves the sites to a file the user names.
void MainDialog::OnSavePreferencesAs() {
    RunSettingsCommand([this](SettingsDocument& settings) {
        const QString typed =
            ChooseSaveFile(this, QStringLiteral("Save As"), QString(), QLatin1String(kProfileFileFilter));
        if (typed.isEmpty()) {
            return false;
        }
        const QString chosen = WithProfileSuffix(typed);
        // The dialog asked about the name as typed; a file under the completed name is asked about here.
        if (chosen != typed && QFileInfo::exists(chosen) &&
            ShowMessage(this, chosen + QStringLiteral(" already exists.\nDo you want to replace it?"),
                        QStringLiteral("Save As"), MessageIcon::Exclamation,
                        MessageButtons::YesNo) != IdYes) {
            return false;
        }
        return settings.SaveAs(chosen);
    });
}
// Opens the help contents page.
void MainDialog::OnHelp() {}
// Opens the help index page.
void MainDialog::OnHelpContents() {}
// Shows the About box.
void MainDialog::OnAbout() {}

void MainDialog::OnDetails() {
    showDetails = ControlAs<QPushButton>(IDC_DETAILS)->isChecked();
    RemoteList()->SetReportMode(showDetails);
}

void MainDialog::OnExit() {
    if (idle) {
        accept();
    }
}

void MainDialog::OnToolTips() {
    tooltipsEnabled = !tooltipsEnabled;
    MenuAction(ID_HELP_TOOLTIPS)->setChecked(tooltipsEnabled);
    tooltipSwitch_->SetEnabled(tooltipsEnabled);
}

void MainDialog::OnSavePasswords() {
    savePasswords = !savePasswords;
    MenuAction(ID_FILE_SAVE_PASSWORDS)->setChecked(savePasswords);
    if (!AnySiteModified()) {
        const QString title = Title();
        SetTitle(title.left(title.indexOf(QLatin1Char(']'))) + QStringLiteral(" *]"));
    }
    // The changed choice is offered for saving, whichever site it is stored with.
    sitePanes[0]->modified = true;
}

} // namespace tidewell

namespace tidewell {

// Connects (if needed) and lists the site's directory.
void MainDialog::OnLogin() {
    if (ValidateSite(true)) {
        ChangeDirectory();
    }
}

void MainDialog::OnLogout() {
    ShowLoggedOut();
    Disconnect();
}

// An empty directory stands for the login directory.
void MainDialog::OnHome() {
    if (ValidateSite(true)) {
        currentPane->DirectoryEdit()->clear();
        ChangeDirectory();
    }
}

void MainDialog::OnUp() {
    GoUp();
}

bool MainDialog::Connect(bool showErrors) {
    const bool opened = remoteSession_.Connect(showErrors);
    RefreshCursor();
    return opened;
}

void MainDialog::ChangeDirectory() {
    remoteSession_.ChangeDirectory();
    RefreshCursor();
}

// Navigation works on the stored directory, not on unsaved typing in the field.
void MainDialog::GoUp() {
    std::string& directory = currentPane->profile.directory;
    ShowSiteDirectory(ParentDirectory(directory));
    currentPane->MarkModified();
    ChangeDirectory();
}

void MainDialog::OnListDoubleClick() {
    QItemSelectionModel* selection = RemoteList()->CurrentView()->selectionModel();
    int first = -1;
    for (const QModelIndex& index : selection->selectedRows()) {
        if (first < 0 || index.row() < first) {
            first = index.row();
        }
    }
    if (first < 0) {
        return;
    }
    const RemoteListModel* model = RemoteList()->Model();
    const std::string name = model->Name(first);
    const std::uint32_t tag = model->Tag(first);
    std::string& directory = currentPane->profile.directory;
    if (directory.empty()) {
        directory = currentRemoteDir;
    }
    if (tag == kDirectoryTag) {
        if (name == "..") {
            GoUp();
        } else {
            ShowSiteDirectory(ChildDirectory(directory, name));
            ChangeDirectory();
        }
    }
    currentPane->MarkModified();
}

void MainDialog::OnColumnClick(int column) {
    sortOrder.Click(column);
    RemoteList()->Model()->Sort(sortOrder);
}

int MainDialog::ShowMessageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                               MessageButtons buttons) {
    return ShowMessage(this, QString::fromStdString(text), QString::fromStdString(caption), icon, buttons);
}

void MainDialog::SetFileNameText(const std::string& text) {
    ControlAs<QLineEdit>(IDC_FILE_NAME)->setText(QString::fromStdString(text));
}

void MainDialog::DeliverListing(ListingResult result) {
    // The worker's last call: once it is joined, the connection is the GUI thread's again.
    workerThread.Join();
    SetIdleState(true);
    SetFileNameText({});
    if (!result.connected) {
        ShowLoggedOut();
        return;
    }
    ControlAs<QLabel>(IDC_FILE_COUNT)->setText(QStringLiteral("File(s): %1").arg(result.fileCount));
    ControlAs<QLabel>(IDC_DIR_COUNT)->setText(QStringLiteral("Dir(s): %1").arg(result.dirCount));
    ControlAs<QLabel>(IDC_TOTAL_SIZE)
        ->setText(QStringLiteral("Total Size: ") + QString::fromStdString(FormatSizeText(result.totalSize)));
    SortRows(result.rows, result.files, sortOrder);
    RemoteListModel* model = RemoteList()->Model();
    model->SetListing(std::move(result));
    nextIconIndex = model->IconCount() - 1;
}

void MainDialog::PullCurrentSite() {
    currentPane->Pull();
}

SiteProfile& MainDialog::CurrentSite() {
    return currentPane->profile;
}

void MainDialog::ShowSiteDirectory(const std::string& directory) {
    currentPane->profile.directory = directory;
    currentPane->DirectoryEdit()->setText(QString::fromStdString(directory));
}

void MainDialog::FocusSiteDirectory() {
    currentPane->DirectoryEdit()->setFocus();
}

void MainDialog::ClearRemoteList() {
    RemoteList()->Model()->Clear();
}

// Connecting blocks the GUI thread; the cursor says so until the window is idle again.
void MainDialog::ShowWaitCursor() {
    setCursor(Qt::WaitCursor);
}

void MainDialog::StartListing() {
    // Busy before the worker starts, so nothing can start a second one meanwhile.
    SetIdleState(false);
    ClearRemoteList();
    ftp::FtpConnection* open = connection.get();
    workerThread.Start([this, open] { ListRemoteDirectory(workerWindow_, open); });
}

} // namespace tidewell
