#pragma once

// The job list as a table for the window: one row per job of the queue, in run order, showing the
// source file name, the target and its bit rate, the output file name, the status (with the
// percentage or the reason) and the progress. It follows every change of the queue; a running
// job's new percentage is shown at most once a second, not on every line of the transcoder.

#include "gui/paced_action.h"
#include "jobs/job_queue.h"

#include <QAbstractTableModel>

#include <string>
#include <vector>

namespace cantova::ui::qt {

class JobTableModel final : public QAbstractTableModel {
public:
    enum Column { Source, Target, Output, Status, Progress, ColumnCount };
    // The percentage of a job (0 to 100) in the progress column.
    static constexpr int PercentRole = Qt::UserRole;

    JobTableModel(jobs::JobQueue& queue, QObject* parent);
    ~JobTableModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    // What a row showed when it was last told to the views.
    struct Shown {
        int number = 0;
        jobs::JobStatus status = jobs::JobStatus::Queued;
        std::string reason;
        int percent = 0;
        bool operator==(const Shown&) const = default;
    };
    static Shown ShownOf(const jobs::Job& job);

    void follow();
    void showPercents();
    void rowChanged(int row);

    jobs::JobQueue& queue_;
    // One for each job, in the order of the rows.
    std::vector<Shown> rows_;
    PacedAction percents_{kProgressPace, [this] { showPercents(); }};
    int subscription_ = 0;
};

} // namespace cantova::ui::qt
