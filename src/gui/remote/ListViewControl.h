#pragma once

#include <QWidget>

#include <span>

class QAbstractItemView;
class QListView;
class QStackedLayout;
class QTreeView;

namespace tidewell {

// One set of rows shown two ways in the same place: a list of names with small
// icons flowing top to bottom in columns, or a report with a column header.
// Long listings stay responsive: the list lays its items out in batches.
class RemoteListModel;

class ListViewControl : public QWidget {
    Q_OBJECT
public:
    struct Column {
        QString title;
        int width;
    };

    explicit ListViewControl(QWidget* parent = nullptr);

    RemoteListModel* Model() const { return model_; }
    QListView* ListView() const { return list_; }
    QTreeView* ReportView() const { return report_; }
    // The view the user currently sees.
    QAbstractItemView* CurrentView() const;

    void SetColumns(std::span<const Column> columns);
    // Lets the user reorder the report's columns by dragging their headers.
    void SetHeaderDragDrop(bool enabled);
    // Lets the user edit a selected row's name (F2, or a click on a selected row) in either view.
    void SetLabelEditing(bool enabled);
    void SetReportMode(bool report);
    bool IsReportMode() const;

signals:
    // A row was double-clicked (or Enter pressed on it) in either view.
    void RowActivated(int row);
    // A report column header was clicked: the model column.
    void ColumnClicked(int column);

private:
    void FitItemsToNames();

    RemoteListModel* model_;
    QListView* list_;
    QTreeView* report_;
    QStackedLayout* stack_;
};

} // namespace tidewell
