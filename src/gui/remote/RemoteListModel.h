#pragma once

#include "core/remote/ListingEngine.h"
#include "core/remote/RowComparison.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <QStringList>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace tidewell {

// The rows of the remote list straight over a listing: the texts of the
// columns are made when a view asks for them, and rows sharing an icon share
// one QIcon, so a listing of any length is shown without an item per row.
// Column 0 carries the row tag in Qt::UserRole.
class RemoteListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kTagRole = Qt::UserRole;

    explicit RemoteListModel(QObject* parent = nullptr);

    void SetHeaders(const QStringList& titles);
    // The generic file icon and the folder icon; also the fallbacks.
    void SetFixedIcons(QIcon file, QIcon folder);

    // Replaces every row in one go.
    void SetListing(ListingResult listing);
    void Clear();
    // Reorders the rows by the column and direction (stable).
    void Sort(const SortOrder& order);

    // Takes one row out; the listing's counters stay as they are.
    void RemoveRow(int row);
    // A row for a directory made in the listed one, placed where the name
    // order puts it among the rows as they stand; counted in dirCount.
    void InsertDirectoryRow(const std::string& name);
    void SetName(int row, const std::string& name);

    const ListingResult& Listing() const { return listing_; }
    std::uint32_t Tag(int row) const;
    std::string Name(int row) const;
    // The size every row reports (Qt::SizeHintRole); views with uniform item
    // sizes take the first row's, so it is made wide enough for the longest name.
    void SetItemSize(QSize size) { itemSize_ = size; }
    // How many distinct icons the rows of this listing use.
    int IconCount() const { return static_cast<int>(icons_.size()); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Names are edited in place, but an edit only asks for the rename
    // (NameEdited): the row changes when the server has agreed.
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

signals:
    // The user ended editing a row's name with this text (Escape ends without).
    void NameEdited(int row, const QString& text);

private:
    int IconIndexFor(const ListingRow& row);
    QIcon LoadFileIcon(const ListingRow& row) const;
    QString CellText(const ListingRow& row, int column) const;

    ListingResult listing_;
    std::vector<int> iconOfRow_; // index into icons_, by row
    std::vector<QIcon> icons_;   // 0 generic file, 1 folder, then by icon name
    std::unordered_map<std::string, int> iconByName_;
    QIcon fileIcon_;
    QIcon folderIcon_;
    QStringList headers_;
    QSize itemSize_;
};

} // namespace tidewell
