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

// Size texts and directory rows are checked through the window too; the type and date cells only here.
TEST_F(RemoteListModelTest, CellsFollowTheRowKind) {
    ASSERT_EQ(model_.rowCount(), 5);
    QStringList file, directory;
    for (int column = 0; column < 4; ++column) {
        file << Text(1, column);
        directory << Text(2, column);
    }
    EXPECT_EQ(file, (QStringList{"big.zip", "5.00 MB", "Zip archive",
                                 QString::fromStdString(FormatDateText(300))}));
    EXPECT_EQ(directory, (QStringList{"docs", "", "", ""}));
    EXPECT_FALSE(model_.data(model_.index(9, 0), Qt::DisplayRole).isValid());
}

// One icon per kind, however many rows show it.
TEST_F(RemoteListModelTest, IconsComeFromTheThemeOrTheBundledFamiliesOrTheFixedOnes) {
    const qint64 file = fileIcon_.cacheKey();
    EXPECT_EQ(Icon(0).cacheKey(), folderIcon_.cacheKey());
    EXPECT_EQ(Icon(2).cacheKey(), folderIcon_.cacheKey());
    EXPECT_EQ(Icon(4).cacheKey(), file); // no type known
    for (int row : {1, 3}) {
        EXPECT_FALSE(Icon(row).isNull()) << row;
        EXPECT_NE(Icon(row).cacheKey(), file) << row;
    }
    EXPECT_NE(Icon(1).cacheKey(), Icon(3).cacheKey());
    EXPECT_EQ(model_.IconCount(), 4);
}

// The order itself is RowComparisonTest's; here the selection and the icons follow their rows.
TEST_F(RemoteListModelTest, SortingKeepsTheSelectionAndTheIconsOnTheirRows) {
    QItemSelectionModel selection(&model_);
    selection.select(model_.index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows); // big.zip
    SortOrder order;
    order.Click(kSizeColumn);
    model_.Sort(order); // "..", "docs", "odd", "notes.txt", "big.zip"
    EXPECT_EQ(model_.Name(4), "big.zip");
    ASSERT_EQ(selection.selectedRows().size(), 1);
    EXPECT_EQ(selection.selectedRows()[0].row(), 4);
    EXPECT_EQ(Icon(1).cacheKey(), folderIcon_.cacheKey()); // docs, where big.zip was
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
