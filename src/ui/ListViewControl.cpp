#include "ui/ListViewControl.h"

#include "ui/RemoteListModel.h"

#include <QHeaderView>
#include <QListView>
#include <QStackedLayout>
#include <QTreeView>

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

    stack_->addWidget(list_);
    stack_->addWidget(report_);
    stack_->setCurrentWidget(list_);
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

void ListViewControl::SetReportMode(bool report) {
    stack_->setCurrentWidget(report ? static_cast<QWidget*>(report_) : list_);
}

bool ListViewControl::IsReportMode() const {
    return stack_->currentWidget() == report_;
}

} // namespace tidewell
