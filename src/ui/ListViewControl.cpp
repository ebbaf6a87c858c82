#include "ui/ListViewControl.h"

#include <QHeaderView>
#include <QListView>
#include <QStackedLayout>
#include <QStandardItemModel>
#include <QTreeView>

namespace tidewell {

ListViewControl::ListViewControl(QWidget* parent)
    : QWidget(parent), model_(new QStandardItemModel(this)), list_(new QListView(this)),
      report_(new QTreeView(this)), stack_(new QStackedLayout(this)) {
    stack_->setContentsMargins(0, 0, 0, 0);

    list_->setModel(model_);
    list_->setViewMode(QListView::ListMode);
    list_->setFlow(QListView::TopToBottom);
    list_->setWrapping(true);
    list_->setResizeMode(QListView::Adjust);
    list_->setUniformItemSizes(true);
    list_->setIconSize(QSize(16, 16));

    report_->setModel(model_);
    report_->setSelectionModel(list_->selectionModel()); // one selection, whichever view shows it
    report_->setRootIsDecorated(false);
    report_->setItemsExpandable(false);
    report_->setUniformRowHeights(true);
    report_->setIconSize(QSize(16, 16));
    report_->header()->setStretchLastSection(false);

    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(list_), static_cast<QAbstractItemView*>(report_)}) {
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    }

    stack_->addWidget(list_);
    stack_->addWidget(report_);
    stack_->setCurrentWidget(list_);
}

QAbstractItemView* ListViewControl::CurrentView() const {
    return IsReportMode() ? static_cast<QAbstractItemView*>(report_) : list_;
}

void ListViewControl::SetColumns(std::span<const Column> columns) {
    model_->setColumnCount(static_cast<int>(columns.size()));
    for (int i = 0; i < static_cast<int>(columns.size()); ++i) {
        model_->setHorizontalHeaderItem(i, new QStandardItem(columns[i].title));
        model_->horizontalHeaderItem(i)->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
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
