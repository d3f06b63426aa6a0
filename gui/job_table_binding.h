#pragma once

// The visible job list shown as a table of the job queue in place of the plain list box: the
// list box control keeps the selection (its ListIndex), which the table shows and a click sets,
// and lends the table its place, size and enabled state. Columns fit their content until the user
// widens or narrows one; those widths are kept for the next session. A new job's row is scrolled
// into view; the table never scrolls sideways by itself.

#include "gui/column_widths.h"
#include "gui/control_binding.h"
#include "gui/progress_pace.h"
#include "jobs/job_queue.h"

#include <QTreeView>

namespace cantova::ui::qt {

class JobTableModel;

class JobTableBinding final : public WidgetBinding {
public:
    JobTableBinding(ListBox& list, QWidget& parent, jobs::JobQueue& queue, ProgressPace& pace);
    ~JobTableBinding() override;

    QTreeView& view() const { return widget_; }
    JobTableModel& model() const { return *model_; }

private:
    void showValue() override;
    // Makes the list box's selection the table's current row; scroll brings it into view.
    void showCurrentRow(bool scroll);
    void userSelected(int row);
    // Scrolls row into view up and down only.
    void scrollToRow(int row);
    // Gives each column the user has not sized the width of its widest text.
    void fitColumns();
    void userResized(int column, int width);
    void showContextMenu(const QPoint& at);

    ListBox& list_;
    jobs::JobQueue& queue_;
    QTreeView& widget_;
    JobTableModel* model_;
    // Set while the program, not the user, changes the table's current row.
    bool showing_ = false;
    // Set while the program sizes the columns.
    bool fitting_ = false;
    // The widths the user gave columns, by title.
    ColumnWidths userWidths_;
};

} // namespace cantova::ui::qt
