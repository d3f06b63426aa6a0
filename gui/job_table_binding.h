#pragma once

// The visible job list shown as a table of the job queue in place of the plain list box: the
// list box control keeps the selection (its ListIndex), which the table shows and a click sets,
// and lends the table its place, size and enabled state.

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

    ListBox& list_;
    jobs::JobQueue& queue_;
    QTreeView& widget_;
    JobTableModel* model_;
    // Set while the program, not the user, changes the table's current row.
    bool showing_ = false;
};

} // namespace cantova::ui::qt
