#include "gui/remote/RemoteListModel.h"

#include "core/remote/SizeText.h"
#include "gui/remote/ListViewControl.h"
#include "resources/ResourceIds.h"
#include "resources/Resources.h"

#include <QItemSelectionModel>
#include <QListView>
#include <gtest/gtest.h>

namespace tidewell {
namespace {

ListingResult SampleListing() {
    ListingResult listing;
    listing.rows.push_back({"..", kDirectoryTag, {}, {}});
    const auto add = [&](const std::string& name, std::int64_t time, std::int64_t size,
                         const std::string& type, const std::string& icon, const std::string& generic) {
        listing.rows.push_back({name, listing.files.AddFile({name, time, size, type}), icon, generic});
    };
    add("big.zip", 300, 5 * 1048576, "Zip archive", "application-zip", "package-x-generic");
    listing.rows.push_back({"docs", kDirectoryTag, {}, {}});
    add("notes.txt", 100, 1536, "plain text document", "text-plain", "text-x-generic");
    add("odd", 200, 10, "unknown", "", "");
    return listing;
}

std::vector<std::string> Names(const RemoteListModel& model) {
    std::vector<std::string> names;
    for (int row = 0; row < model.rowCount(); ++row) {
        names.push_back(model.Name(row));
    }
    return names;
}

class RemoteListModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        model_.SetHeaders({"File", "Size", "Type", "Date"});
        model_.SetFixedIcons(fileIcon_, folderIcon_);
        model_.SetListing(SampleListing());
    }

    QString Text(int row, int column) const {
        return model_.data(model_.index(row, column), Qt::DisplayRole).toString();
    }
    QIcon Icon(int row) const { return model_.data(model_.index(row, 0), Qt::DecorationRole).value<QIcon>(); }

    QIcon fileIcon_ = res::LoadIcon(res::IDI_FILE);
    QIcon folderIcon_ = res::LoadIcon(res::IDI_FOLDER);
    RemoteListModel model_;
};

TEST_F(RemoteListModelTest, CellsFollowTheRowKind) {
    ASSERT_EQ(model_.rowCount(), 5);
    ASSERT_EQ(model_.columnCount(), 4);
    EXPECT_EQ(Text(1, 0), "big.zip");
    EXPECT_EQ(Text(1, 1), "5.00 MB");
    EXPECT_EQ(Text(1, 2), "Zip archive");
    EXPECT_EQ(Text(1, 3).toStdString(), FormatDateText(300));
    EXPECT_EQ(Text(3, 1), "1.50 KB");
    for (int column = 1; column < 4; ++column) {
        EXPECT_TRUE(Text(2, column).isEmpty()) << column; // directory rows show only the name
    }
    EXPECT_EQ(model_.data(model_.index(2, 0), RemoteListModel::kTagRole).toUInt(), kDirectoryTag);
    EXPECT_FALSE(model_.data(model_.index(9, 0), Qt::DisplayRole).isValid());
}

TEST_F(RemoteListModelTest, IconsComeFromTheThemeOrTheBundledFamiliesOrTheFixedOnes) {
    const qint64 folder = folderIcon_.cacheKey();
    const qint64 file = fileIcon_.cacheKey();
    EXPECT_EQ(Icon(0).cacheKey(), folder);
    EXPECT_EQ(Icon(2).cacheKey(), folder);
    EXPECT_EQ(Icon(4).cacheKey(), file); // no type known
    for (int row : {1, 3}) {
        EXPECT_FALSE(Icon(row).isNull()) << row;
        EXPECT_NE(Icon(row).cacheKey(), file) << row;
    }
    EXPECT_NE(Icon(1).cacheKey(), Icon(3).cacheKey());
    EXPECT_EQ(model_.IconCount(), 4);
}

TEST_F(RemoteListModelTest, SortingKeepsTheSelectionOnItsRows) {
    QItemSelectionModel selection(&model_);
    selection.select(model_.index(3, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    SortOrder order;
    order.Click(kSizeColumn);
    model_.Sort(order);
    EXPECT_EQ(Names(model_), (std::vector<std::string>{"..", "docs", "odd", "notes.txt", "big.zip"}));
    ASSERT_EQ(selection.selectedRows().size(), 1);
    EXPECT_EQ(model_.Name(selection.selectedRows()[0].row()), "notes.txt");
    order.Click(kSizeColumn);
    model_.Sort(order);
    EXPECT_EQ(Names(model_), (std::vector<std::string>{"..", "docs", "big.zip", "notes.txt", "odd"}));
    // Icons moved with their rows.
    EXPECT_EQ(Icon(1).cacheKey(), folderIcon_.cacheKey());
}

TEST(ListViewControlItems, ListItemsAreWideEnoughForTheLongestName) {
    ListViewControl control;
    static const ListViewControl::Column kColumns[] = {{"File", 200}};
    control.SetColumns(kColumns);
    ListingResult listing;
    listing.rows.push_back({"..", kDirectoryTag, {}, {}});
    const std::string longName(60, 'W');
    listing.rows.push_back({longName, kDirectoryTag, {}, {}});
    control.Model()->SetListing(listing);
    const QSize size = control.Model()->data(control.Model()->index(0, 0), Qt::SizeHintRole).toSize();
    const int textWidth =
        control.ListView()->fontMetrics().horizontalAdvance(QString::fromStdString(longName));
    EXPECT_GE(size.width(), std::min(400, textWidth));
    EXPECT_GE(size.height(), control.ListView()->fontMetrics().height());
}

} // namespace
} // namespace tidewell
