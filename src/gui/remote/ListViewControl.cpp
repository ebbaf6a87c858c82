#include "gui/remote/ListViewControl.h"

#include "gui/remote/RemoteListModel.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QListView>
#include <QStackedLayout>
#include <QTreeView>

#include <algorithm>
#include <numeric>
#include <vector>

namespace tidewell {

ListViewControl::ListViewControl(QWidget* parent)
    : QWidget(parent), model_(new RemoteListModel(this)), list_(new QListView(this)),
      report_(new QTreeView(this)), stack_(new QStackedLayout(this)) {
    stack_->setContentsMargins(0, 0, 0, 0);

    list_->setModel(model_);
    list_->setViewMode(QListView::ListMode);
    list_->setFlow(QListView::TopToBottom);
    list_->setWrapping(true);
    list_->setResizeMode(QListView::Adjust);
    list_->setUniformItemSizes(true);
    list_->setIconSize(QSize(16, 16));
    list_->setLayoutMode(QListView::Batched);
    list_->setBatchSize(2000);

    report_->setModel(model_);
    report_->setSelectionModel(list_->selectionModel()); // one selection, whichever view shows it
    report_->setRootIsDecorated(false);
    report_->setItemsExpandable(false);
    report_->setUniformRowHeights(true);
    report_->setIconSize(QSize(16, 16));
    report_->header()->setStretchLastSection(false);
    report_->header()->setSectionsClickable(true);
    connect(report_->header(), &QHeaderView::sectionClicked, this, &ListViewControl::ColumnClicked);

    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(list_), static_cast<QAbstractItemView*>(report_)}) {
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        connect(view, &QAbstractItemView::activated, this,
                [this](const QModelIndex& index) { emit RowActivated(index.row()); });
    }

    connect(model_, &QAbstractItemModel::modelReset, this, &ListViewControl::FitItemsToNames);

    stack_->addWidget(list_);
    stack_->addWidget(report_);
    stack_->setCurrentWidget(list_);
    setFocusProxy(list_);
}

// The list's columns are as wide as its longest name. Measuring every name of
// a long listing would cost more than showing it; the longest by bytes decide.
void ListViewControl::FitItemsToNames() {
    constexpr std::size_t kMeasured = 64;
    constexpr int kMaxWidth = 400;
    const auto& rows = model_->Listing().rows;
    std::vector<std::size_t> order(rows.size());
    std::iota(order.begin(), order.end(), 0);
    const auto longer = [&rows](std::size_t a, std::size_t b) {
        return rows[a].name.size() > rows[b].name.size();
    };
    if (order.size() > kMeasured) {
        std::nth_element(order.begin(), order.begin() + kMeasured, order.end(), longer);
        order.resize(kMeasured);
    }
    const QFontMetrics metrics = list_->fontMetrics();
    int widest = 0;
    for (std::size_t row : order) {
        widest = std::max(widest, metrics.horizontalAdvance(QString::fromStdString(rows[row].name)));
    }
    const QSize icon = list_->iconSize();
    // Icon, the gap after it, the text and the margins of the item's focus frame.
    const int width = std::min(kMaxWidth, icon.width() + widest + 16);
    const int height = std::max(icon.height(), metrics.height()) + 4;
    model_->SetItemSize(QSize(width, height));
}

QAbstractItemView* ListViewControl::CurrentView() const {
    return IsReportMode() ? static_cast<QAbstractItemView*>(report_) : list_;
}

void ListViewControl::SetColumns(std::span<const Column> columns) {
    QStringList titles;
    for (const Column& column : columns) {
        titles.push_back(column.title);
    }
    model_->SetHeaders(titles);
    for (int i = 0; i < static_cast<int>(columns.size()); ++i) {
        report_->setColumnWidth(i, columns[i].width);
    }
}

void ListViewControl::SetHeaderDragDrop(bool enabled) {
    report_->header()->setSectionsMovable(enabled);
}

void ListViewControl::SetLabelEditing(bool enabled) {
    const auto triggers = enabled ? QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked
                                  : QAbstractItemView::NoEditTriggers;
    list_->setEditTriggers(triggers);
    report_->setEditTriggers(triggers);
}

void ListViewControl::SetReportMode(bool report) {
    QWidget* shown = report ? static_cast<QWidget*>(report_) : list_;
    // The focus goes with the view, so that the keyboard keeps working the rows.
    const bool focused = CurrentView()->hasFocus();
    stack_->setCurrentWidget(shown);
    setFocusProxy(shown);
    if (focused) {
        shown->setFocus();
    }
}

bool ListViewControl::IsReportMode() const {
    return stack_->currentWidget() == report_;
}

} // namespace tidewell
