#include "gui/remote/RemoteListModel.h"

#include "core/remote/SizeText.h"

#include <algorithm>
#include <numeric>
#include <string_view>

namespace tidewell {

namespace {

// Bundled pictures for the common families, where the desktop theme has none.
QString BundledIconFor(std::string_view generic) {
    static constexpr std::pair<std::string_view, const char*> kFamilies[] = {
        {"text-x-generic", ":/icons/text.svg"},           {"text-x-script", ":/icons/code.svg"},
        {"application-x-executable", ":/icons/code.svg"}, {"image-x-generic", ":/icons/image.svg"},
        {"audio-x-generic", ":/icons/audio.svg"},         {"video-x-generic", ":/icons/video.svg"},
        {"package-x-generic", ":/icons/archive.svg"},     {"x-office-document", ":/icons/document.svg"},
        {"x-office-spreadsheet", ":/icons/document.svg"}, {"x-office-presentation", ":/icons/document.svg"},
    };
    for (const auto& [family, path] : kFamilies) {
        if (family == generic) {
            return QString::fromLatin1(path);
        }
    }
    return {};
}

constexpr int kFileIcon = 0;
constexpr int kFolderIcon = 1;

} // namespace

RemoteListModel::RemoteListModel(QObject* parent) : QAbstractTableModel(parent) {
    icons_ = {fileIcon_, folderIcon_};
}

void RemoteListModel::SetHeaders(const QStringList& titles) {
    beginResetModel();
    headers_ = titles;
    endResetModel();
}

void RemoteListModel::SetFixedIcons(QIcon file, QIcon folder) {
    fileIcon_ = std::move(file);
    folderIcon_ = std::move(folder);
    icons_[kFileIcon] = fileIcon_;
    icons_[kFolderIcon] = folderIcon_;
}

QIcon RemoteListModel::LoadFileIcon(const ListingRow& row) const {
    for (const std::string& name : {row.iconName, row.genericIconName}) {
        if (!name.empty() && QIcon::hasThemeIcon(QString::fromStdString(name))) {
            return QIcon::fromTheme(QString::fromStdString(name));
        }
    }
    const QString bundled = BundledIconFor(row.genericIconName);
    return bundled.isEmpty() ? QIcon() : QIcon(bundled);
}

int RemoteListModel::IconIndexFor(const ListingRow& row) {
    if (row.tag == kDirectoryTag) {
        return kFolderIcon;
    }
    if (row.iconName.empty() && row.genericIconName.empty()) {
        return kFileIcon;
    }
    const std::string key = row.iconName + '\n' + row.genericIconName;
    const auto found = iconByName_.find(key);
    if (found != iconByName_.end()) {
        return found->second;
    }
    const QIcon icon = LoadFileIcon(row);
    int index = kFileIcon;
    if (!icon.isNull()) {
        index = static_cast<int>(icons_.size());
        icons_.push_back(icon);
    }
    iconByName_.emplace(key, index);
    return index;
}

void RemoteListModel::SetListing(ListingResult listing) {
    beginResetModel();
    listing_ = std::move(listing);
    icons_.resize(2);
    iconByName_.clear();
    iconOfRow_.clear();
    iconOfRow_.reserve(listing_.rows.size());
    for (const ListingRow& row : listing_.rows) {
        iconOfRow_.push_back(IconIndexFor(row));
    }
    endResetModel();
}

void RemoteListModel::Clear() {
    SetListing({});
}

void RemoteListModel::Sort(const SortOrder& order) {
    if (order.sortColumn == kNoSortColumn || listing_.rows.empty()) {
        return;
    }
    emit layoutAboutToBeChanged();
    std::vector<std::size_t> permutation(listing_.rows.size());
    std::iota(permutation.begin(), permutation.end(), 0);
    std::stable_sort(permutation.begin(), permutation.end(), [&](std::size_t a, std::size_t b) {
        return RowGoesBefore(listing_.rows[a].tag, listing_.rows[b].tag, listing_.files, order);
    });
    std::vector<ListingRow> rows;
    std::vector<int> icons;
    rows.reserve(permutation.size());
    icons.reserve(permutation.size());
    for (std::size_t from : permutation) {
        rows.push_back(std::move(listing_.rows[from]));
        icons.push_back(iconOfRow_[from]);
    }
    listing_.rows = std::move(rows);
    iconOfRow_ = std::move(icons);
    // Selections and the current row follow their rows.
    const QModelIndexList before = persistentIndexList();
    std::vector<int> newRowOf(permutation.size());
    for (std::size_t to = 0; to < permutation.size(); ++to) {
        newRowOf[permutation[to]] = static_cast<int>(to);
    }
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before) {
        after.push_back(this->index(newRowOf[static_cast<std::size_t>(index.row())], index.column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged();
}

void RemoteListModel::RemoveRow(int row) {
    const auto at = static_cast<std::size_t>(row);
    beginRemoveRows({}, row, row);
    listing_.rows.erase(listing_.rows.begin() + static_cast<std::ptrdiff_t>(at));
    iconOfRow_.erase(iconOfRow_.begin() + static_cast<std::ptrdiff_t>(at));
    endRemoveRows();
}

void RemoteListModel::InsertDirectoryRow(const std::string& name) {
    const QString key = QString::fromStdString(name).toCaseFolded();
    const auto place =
        std::find_if(listing_.rows.begin(), listing_.rows.end(), [&key](const ListingRow& row) {
            return QString::fromStdString(row.name).toCaseFolded() > key;
        });
    const auto row = static_cast<int>(place - listing_.rows.begin());
    beginInsertRows({}, row, row);
    listing_.rows.insert(place, ListingRow{name, kDirectoryTag, {}, {}});
    iconOfRow_.insert(iconOfRow_.begin() + row, kFolderIcon);
    ++listing_.dirCount;
    endInsertRows();
}

void RemoteListModel::SetName(int row, const std::string& name) {
    listing_.rows.at(static_cast<std::size_t>(row)).name = name;
    emit dataChanged(index(row, 0), index(row, 0));
}

Qt::ItemFlags RemoteListModel::flags(const QModelIndex& index) const {
    const Qt::ItemFlags base = QAbstractTableModel::flags(index);
    return index.isValid() && index.column() == 0 ? base | Qt::ItemIsEditable : base;
}

bool RemoteListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (index.isValid() && index.column() == 0 && role == Qt::EditRole) {
        emit NameEdited(index.row(), value.toString());
    }
    return false;
}

std::uint32_t RemoteListModel::Tag(int row) const {
    return listing_.rows.at(static_cast<std::size_t>(row)).tag;
}

std::string RemoteListModel::Name(int row) const {
    return listing_.rows.at(static_cast<std::size_t>(row)).name;
}

int RemoteListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(listing_.rows.size());
}

int RemoteListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(headers_.size());
}

QString RemoteListModel::CellText(const ListingRow& row, int column) const {
    if (column == 0) {
        return QString::fromStdString(row.name);
    }
    // Directory rows show their name only.
    if (row.tag == kDirectoryTag) {
        return {};
    }
    const RemoteFile& file = listing_.files.File(row.tag);
    switch (column) {
    case kSizeColumn:
        return QString::fromStdString(FormatSizeText(file.size));
    case kTypeColumn:
        return QString::fromStdString(file.type);
    case kDateColumn:
        return QString::fromStdString(FormatDateText(file.time));
    default:
        return {};
    }
}

QVariant RemoteListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const auto row = static_cast<std::size_t>(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return CellText(listing_.rows[row], index.column());
    case Qt::DecorationRole:
        if (index.column() == 0) {
            return icons_[static_cast<std::size_t>(iconOfRow_[row])];
        }
        return {};
    case kTagRole:
        return static_cast<uint>(listing_.rows[row].tag);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    case Qt::SizeHintRole:
        if (index.column() == 0 && itemSize_.isValid()) {
            return itemSize_;
        }
        return {};
    default:
        return {};
    }
}

QVariant RemoteListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= headers_.size()) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return headers_[section];
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    }
    return {};
}

} // namespace tidewell
