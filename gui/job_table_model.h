#pragma once

// The job list as a table for the window: one row per job of the queue, in run order, showing the
// source file name, the target and its bit rate, the output file name, the status (with the
// percentage or the reason) and the progress. It follows every change of the queue row by row
// (rows inserted, removed, moved or changed; never a reset, so that the views keep their selection
// and scroll position); a running job's new percentage is shown at the pace of the other views,
// not on every line of the transcoder.

#include "gui/progress_pace.h"
#include "jobs/job_queue.h"

#include <QAbstractTableModel>

#include <set>
#include <string>
#include <vector>

namespace cantova::ui::qt {

class JobTableModel final : public QAbstractTableModel {
public:
    enum Column { Source, Target, Output, Status, Progress, ColumnCount };
    // The percentage of a job (0 to 100) in the progress column.
    static constexpr int PercentRole = Qt::UserRole;

    // New percentages show at the pace's moments, other changes at once.
    JobTableModel(jobs::JobQueue& queue, ProgressPace& pace, QObject* parent);
    ~JobTableModel() override;

    // True from just before rows are inserted, removed or moved until they are.
    bool changingRows() const { return changingRows_; }

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

    void follow(const jobs::JobListChange& change);
    void applyChange(const jobs::JobListChange& change);
    void showPercents();
    void rowChanged(int row);

    jobs::JobQueue& queue_;
    ProgressPace& pace_;
    // One for each job, in the order of the rows.
    std::vector<Shown> rows_;
    // The running jobs, by number: only their percentages change.
    std::set<int> running_;
    bool changingRows_ = false;
    int subscription_ = 0;
    int paceSubscription_ = 0;
};

} // namespace cantova::ui::qt
