// The window's log-in, listing, navigation and sorting against real servers.
#include "app/MainDialog.h"

#include "fixtures/FtpServers.h"
#include "profiles/TabPane.h"
#include "remote/SizeText.h"
#include "resources/ResourceIds.h"
#include "support/MessageRecorder.h"
#include "ui/ListViewControl.h"
#include "ui/RemoteListModel.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

namespace tidewell {
namespace {

using namespace res;
namespace fs = std::filesystem;

constexpr const char* kBadDir =
    "Directory is not contained on the FTP server, or the FTP server cannot be contacted";

class BrowseWindowTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        if (GetParam()) {
            server_ = std::make_unique<test::VsftpdServer>();
        } else {
            server_ = std::make_unique<test::PyftpdlibServer>();
        }
        ASSERT_TRUE(server_->Ready()) << server_->Failure();
        dialog_.SetSessionTimeout(std::chrono::seconds(10));
        dialog_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog_));
        const auto& address = server_->Address();
        TabPane* pane = dialog_.currentPane;
        pane->AddressEdit()->setText(
            QString::fromStdString(address.host + ":" + std::to_string(address.port)));
        pane->UsernameEdit()->setText(QString::fromStdString(address.user));
        pane->PasswordEdit()->setText(QString::fromStdString(address.password));
    }

    std::string LoginDir() const { return GetParam() ? server_->Root().string() : "/"; }
    std::string Below(const std::string& relative) const {
        return GetParam() ? LoginDir() + "/" + relative : "/" + relative;
    }

    // Presses a button and waits until the listing it started is shown.
    void Press(int id) {
        dialog_.DispatchCommand(id);
        WaitForListing();
    }

    void WaitForListing() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!dialog_.idle || dialog_.workerThread.Unjoined()) {
            ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the listing did not arrive";
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
    }

    RemoteListModel* Model() const { return dialog_.RemoteList()->Model(); }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (int row = 0; row < Model()->rowCount(); ++row) {
            names.push_back(Model()->Name(row));
        }
        return names;
    }

    int RowOf(const std::string& name) const {
        for (int row = 0; row < Model()->rowCount(); ++row) {
            if (Model()->Name(row) == name) {
                return row;
            }
        }
        ADD_FAILURE() << "no row " << name;
        return -1;
    }

    QString Cell(const std::string& name, int column) const {
        return Model()->data(Model()->index(RowOf(name), column), Qt::DisplayRole).toString();
    }

    QString Label(int id) const { return dialog_.ControlAs<QLabel>(id)->text(); }
    QString DirectoryField() const { return dialog_.currentPane->DirectoryEdit()->text(); }

    // A real double-click on the row in the view the user sees.
    void DoubleClick(const std::string& name) {
        QAbstractItemView* view = dialog_.RemoteList()->CurrentView();
        const QModelIndex index = Model()->index(RowOf(name), 0);
        view->scrollTo(index);
        QCoreApplication::processEvents();
        const QPoint at = view->visualRect(index).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    }

    void ClickHeader(int column) {
        QHeaderView* header = dialog_.RemoteList()->ReportView()->header();
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }

    void SetModified(const std::string& relative, int minutesAgo) {
        fs::last_write_time(server_->Root() / relative,
                            fs::file_time_type::clock::now() - std::chrono::minutes(minutesAgo));
    }

    std::unique_ptr<test::FtpServer> server_;
    MainDialog dialog_{{}};
};

TEST_P(BrowseWindowTest, FirstLoginShowsAndListsTheLoginDirectory) {
    server_->PutDirectory("pub");
    server_->PutDirectory("Docs");
    server_->PutFile("a.txt", std::string(1023, 'a'));
    server_->PutFile("B.bin", std::string(1024, 'b'));
    test::MessageRecorder messages;
    Press(IDC_LOGIN);

    EXPECT_TRUE(messages.Calls().empty());
    EXPECT_TRUE(dialog_.connected);
    EXPECT_EQ(DirectoryField().toStdString(), LoginDir());
    EXPECT_EQ(dialog_.currentRemoteDir, LoginDir());
    // Names without regard to case, directories and files mixed, ".." once.
    EXPECT_EQ(Names(), (std::vector<std::string>{"..", "a.txt", "B.bin", "Docs", "pub"}));
    EXPECT_EQ(Label(IDC_FILE_COUNT), "File(s): 2");
    EXPECT_EQ(Label(IDC_DIR_COUNT), "Dir(s): 2");
    EXPECT_EQ(Label(IDC_TOTAL_SIZE), "Total Size: 2.00 KB");
    EXPECT_EQ(Cell("a.txt", 1), "1023 Bytes");
    EXPECT_EQ(Cell("B.bin", 1), "1.00 KB");
    EXPECT_FALSE(Cell("a.txt", 2).isEmpty());
    const auto& files = Model()->Listing().files;
    const auto aTag = Model()->Tag(RowOf("a.txt"));
    EXPECT_EQ(Cell("a.txt", 3).toStdString(), FormatDateText(files.remoteTimes[TagToFileIndex(aTag)]));
    for (const char* directory : {"..", "Docs", "pub"}) {
        EXPECT_EQ(Model()->Tag(RowOf(directory)), kDirectoryTag) << directory;
        EXPECT_TRUE(Cell(directory, 1).isEmpty()) << directory;
        EXPECT_EQ(Model()->data(Model()->index(RowOf(directory), 0), RemoteListModel::kTagRole).toUInt(),
                  kDirectoryTag);
    }
    for (int row = 0; row < Model()->rowCount(); ++row) {
        EXPECT_FALSE(Model()->data(Model()->index(row, 0), Qt::DecorationRole).value<QIcon>().isNull())
            << row;
    }
    EXPECT_EQ(dialog_.ControlAs<QPushButton>(IDC_LOGIN)->text(), "&Refresh");
    EXPECT_TRUE(dialog_.Control(IDC_LOGOUT)->isEnabled());
    EXPECT_TRUE(dialog_.Control(IDC_REMOTE_LIST)->isEnabled());
    EXPECT_TRUE(dialog_.ControlAs<QLineEdit>(IDC_FILE_NAME)->text().isEmpty());
}

TEST_P(BrowseWindowTest, EmptyDirectoryShowsOnlyTheParentRow) {
    Press(IDC_LOGIN);
    EXPECT_EQ(Names(), (std::vector<std::string>{".."}));
    EXPECT_EQ(Label(IDC_FILE_COUNT), "File(s): 0");
    EXPECT_EQ(Label(IDC_DIR_COUNT), "Dir(s): 0");
    EXPECT_EQ(Label(IDC_TOTAL_SIZE), "Total Size: 0 Bytes");
}

TEST_P(BrowseWindowTest, RefreshWithARefusedDirectoryKeepsTheRows) {
    server_->PutFile("keep.txt", "k");
    Press(IDC_LOGIN);
    ASSERT_EQ(Names().size(), 2u);
    dialog_.currentPane->DirectoryEdit()->setText("/no/such/dir");
    test::MessageRecorder messages;
    Press(IDC_LOGIN);
    ASSERT_EQ(messages.Calls().size(), 1u);
    EXPECT_EQ(messages.Calls()[0].text, kBadDir);
    EXPECT_EQ(messages.Calls()[0].caption, "FTP Error");
    EXPECT_EQ(messages.Calls()[0].icon, MessageIcon::Stop);
    EXPECT_EQ(DirectoryField().toStdString(), LoginDir());
    EXPECT_EQ(Names(), (std::vector<std::string>{"..", "keep.txt"}));
    EXPECT_TRUE(dialog_.connected);
}

TEST_P(BrowseWindowTest, HomeFromASubdirectory) {
    server_->PutDirectory("pub");
    server_->PutFile("pub/inner.txt", "i");
    server_->PutFile("top.txt", "t");
    dialog_.currentPane->DirectoryEdit()->setText(QString::fromStdString(Below("pub")));
    Press(IDC_LOGIN);
    EXPECT_EQ(Names(), (std::vector<std::string>{"..", "inner.txt"}));
    Press(IDC_HOME);
    EXPECT_EQ(DirectoryField().toStdString(), LoginDir());
    EXPECT_EQ(Names(), (std::vector<std::string>{"..", "pub", "top.txt"}));
}

TEST_P(BrowseWindowTest, WrongPasswordEmptiesTheList) {
    server_->PutFile("x.txt", "x");
    Press(IDC_LOGIN);
    Press(IDC_LOGOUT);
    dialog_.currentPane->PasswordEdit()->setText("not-the-password");
    test::MessageRecorder messages;
    Press(IDC_LOGIN);
    ASSERT_EQ(messages.Calls().size(), 1u);
    EXPECT_EQ(messages.Calls()[0].text, "Can't connect to FTP server - check the FTP username/password");
    EXPECT_EQ(Model()->rowCount(), 0);
    EXPECT_FALSE(dialog_.connected);
    EXPECT_EQ(dialog_.ControlAs<QPushButton>(IDC_LOGIN)->text(), "&Login");
}

TEST_P(BrowseWindowTest, RefusedStartDirectoryLeavesNoConnectionAndFocusesTheField) {
    dialog_.currentPane->DirectoryEdit()->setText("/missing");
    dialog_.activateWindow();
    test::MessageRecorder messages;
    Press(IDC_LOGIN);
    ASSERT_EQ(messages.Calls().size(), 1u);
    EXPECT_EQ(messages.Calls()[0].text, "Directory is not contained on the FTP server - check the Directory");
    EXPECT_FALSE(dialog_.connected);
    EXPECT_EQ(dialog_.connection, nullptr);
    EXPECT_EQ(DirectoryField(), "/missing");
    EXPECT_EQ(dialog_.focusWidget(), dialog_.currentPane->DirectoryEdit());
}

TEST_P(BrowseWindowTest, LogoutThenLoginConnectsAgain) {
    Press(IDC_LOGIN);
    ASSERT_TRUE(dialog_.connected);
    Press(IDC_LOGOUT);
    EXPECT_FALSE(dialog_.connected);
    EXPECT_EQ(dialog_.connection, nullptr);
    EXPECT_EQ(Model()->rowCount(), 0);
    EXPECT_EQ(Label(IDC_FILE_COUNT), "File(s):");
    Press(IDC_LOGIN);
    ASSERT_TRUE(dialog_.connected);
    ASSERT_NE(dialog_.connection, nullptr);
    EXPECT_TRUE(dialog_.connection->IsConnected());
    EXPECT_EQ(Names(), (std::vector<std::string>{".."}));
}

TEST_P(BrowseWindowTest, DoubleClicksAndUpMoveThroughTheTree) {
    server_->PutDirectory("pub");
    server_->PutDirectory("pub/incoming");
    server_->PutFile("pub/incoming/new.txt", "n");
    server_->PutFile("file.txt", "f");
    Press(IDC_LOGIN);
    dialog_.ClearSiteModified();
    dialog_.SetPlainTitle();

    // A file row changes nothing but the modified mark.
    DoubleClick("file.txt");
    EXPECT_TRUE(dialog_.idle);
    EXPECT_FALSE(dialog_.workerThread.Unjoined());
    EXPECT_EQ(Names(), (std::vector<std::string>{"..", "file.txt", "pub"}));
    EXPECT_TRUE(dialog_.currentPane->modified);
    EXPECT_TRUE(dialog_.Title().endsWith(" *]"));

    // Navigation starts from the stored directory, not from unsaved typing.
    dialog_.currentPane->DirectoryEdit()->setText("/typed/but/not/used");
    DoubleClick("pub");
    WaitForListing();
    EXPECT_EQ(DirectoryField().toStdString(), Below("pub"));
    EXPECT_EQ(Names(), (std::vector<std::string>{"..", "incoming"}));

    dialog_.ControlAs<QPushButton>(IDC_DETAILS)->click(); // the same in the report view
    DoubleClick("incoming");
    WaitForListing();
    EXPECT_EQ(DirectoryField().toStdString(), Below("pub/incoming"));
    EXPECT_EQ(Names(), (std::vector<std::string>{"..", "new.txt"}));

    Press(IDC_UP);
    EXPECT_EQ(DirectoryField().toStdString(), Below("pub"));
    EXPECT_EQ(Names(), (std::vector<std::string>{"..", "incoming"}));

    DoubleClick("..");
    WaitForListing();
    EXPECT_EQ(DirectoryField().toStdString(), LoginDir());
    EXPECT_EQ(Names(), (std::vector<std::string>{"..", "file.txt", "pub"}));
}

TEST_P(BrowseWindowTest, HeaderClicksSortAndEveryListingKeepsTheOrder) {
    server_->PutDirectory("zdir");
    server_->PutDirectory("adir");
    server_->PutFile("small.txt", std::string(10, 's'));
    server_->PutFile("Medium.txt", std::string(2000, 'm'));
    server_->PutFile("large.txt", std::string(70000, 'l'));
    SetModified("small.txt", 300);
    SetModified("Medium.txt", 200);
    SetModified("large.txt", 100);
    Press(IDC_LOGIN);
    dialog_.ControlAs<QPushButton>(IDC_DETAILS)->click();
    ASSERT_TRUE(dialog_.RemoteList()->IsReportMode());
    EXPECT_EQ(Names(),
              (std::vector<std::string>{"..", "adir", "large.txt", "Medium.txt", "small.txt", "zdir"}));

    ClickHeader(kSizeColumn);
    EXPECT_EQ(Names(),
              (std::vector<std::string>{"..", "adir", "zdir", "small.txt", "Medium.txt", "large.txt"}));
    ClickHeader(kSizeColumn);
    EXPECT_EQ(Names(),
              (std::vector<std::string>{"..", "adir", "zdir", "large.txt", "Medium.txt", "small.txt"}));
    ClickHeader(kSizeColumn);
    EXPECT_EQ(Names(),
              (std::vector<std::string>{"..", "adir", "zdir", "small.txt", "Medium.txt", "large.txt"}));

    ClickHeader(kFileColumn);
    ClickHeader(kFileColumn);
    EXPECT_TRUE(dialog_.sortOrder.sortDescending);
    EXPECT_EQ(Names(),
              (std::vector<std::string>{"..", "adir", "zdir", "small.txt", "Medium.txt", "large.txt"}));
    ClickHeader(kSizeColumn); // a new column starts ascending
    EXPECT_FALSE(dialog_.sortOrder.sortDescending);
    EXPECT_EQ(Names(),
              (std::vector<std::string>{"..", "adir", "zdir", "small.txt", "Medium.txt", "large.txt"}));

    ClickHeader(kDateColumn);
    ClickHeader(kDateColumn);
    ASSERT_EQ(dialog_.sortOrder.sortColumn, kDateColumn);
    ASSERT_TRUE(dialog_.sortOrder.sortDescending);
    server_->PutFile("newest.txt", "n");
    Press(IDC_LOGIN); // a relisting keeps the last choice
    EXPECT_EQ(Names(), (std::vector<std::string>{"..", "adir", "zdir", "newest.txt", "large.txt",
                                                 "Medium.txt", "small.txt"}));
}

TEST_P(BrowseWindowTest, ListAndReportViewsShowTheSameRows) {
    for (int i = 0; i < 40; ++i) {
        server_->PutFile("f" + std::to_string(100 + i) + ".txt", "x");
    }
    Press(IDC_LOGIN);
    ListViewControl* list = dialog_.RemoteList();
    EXPECT_TRUE(list->ListView()->isVisible());
    EXPECT_EQ(list->ListView()->model()->rowCount(), 41);
    EXPECT_TRUE(list->ListView()->visualRect(Model()->index(1, 0)).isValid());
    dialog_.ControlAs<QPushButton>(IDC_DETAILS)->click();
    EXPECT_TRUE(list->ReportView()->isVisible());
    EXPECT_FALSE(list->ReportView()->header()->isHidden());
    EXPECT_EQ(list->ReportView()->model()->columnCount(), 4);
    EXPECT_EQ(Cell("f100.txt", 1), "1 Bytes");
}

INSTANTIATE_TEST_SUITE_P(Servers, BrowseWindowTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "vsftpd" : "pyftpdlib"; });

TEST(BrowseWindowFailures, UnknownHostAndClosedPortLeaveTheListEmpty) {
    MainDialog dialog{{}};
    dialog.SetSessionTimeout(std::chrono::seconds(5));
    TabPane* pane = dialog.currentPane;
    pane->UsernameEdit()->setText("u");
    pane->PasswordEdit()->setText("p");
    for (const auto& [address, text] :
         {std::pair<QString, QString>{"nonexistent.invalid",
                                      "Can't connect to FTP server - check the FTP address"},
          {"127.0.0.1:1", "Can't connect to the FTP server"},
          {"127.0.0.1:70000", "Can't connect to FTP server - check the FTP address"}}) {
        pane->AddressEdit()->setText(address);
        test::MessageRecorder messages;
        dialog.DispatchCommand(IDC_LOGIN);
        ASSERT_EQ(messages.Calls().size(), 1u) << address.toStdString();
        EXPECT_EQ(messages.Calls()[0].text, text);
        EXPECT_EQ(messages.Calls()[0].caption, "FTP Error");
        EXPECT_EQ(dialog.RemoteList()->Model()->rowCount(), 0);
        EXPECT_FALSE(dialog.connected);
        EXPECT_TRUE(dialog.idle);
        EXPECT_FALSE(dialog.workerThread.Unjoined());
    }
}

TEST(BrowseWindowFailures, LoginWithoutAPasswordAsksForIt) {
    MainDialog dialog{{}};
    dialog.currentPane->AddressEdit()->setText("127.0.0.1");
    dialog.currentPane->UsernameEdit()->setText("u");
    test::MessageRecorder messages;
    dialog.DispatchCommand(IDC_LOGIN);
    ASSERT_EQ(messages.Calls().size(), 1u);
    EXPECT_EQ(messages.Calls()[0].text, "You must supply the FTP password");
    EXPECT_FALSE(dialog.connected);
}

} // namespace
} // namespace tidewell
