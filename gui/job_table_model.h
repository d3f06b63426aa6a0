#pragma once

// The job list as a table for the window: one row per job of the queue, in run order, showing the
// source file name, the target and its bit rate, the gain mode, the output file name, the status
// (with the percentage, the reason or the sound report) and the progress. It follows every change
// of the queue row by row (rows inserted, removed, moved or changed; never a reset, so that the
// views keep their selection and scroll position); a running job's new percentage is shown at the
// pace of the other views, not on every line of the transcoder.
//
// Jobs that were done when they left the queue stay above its rows, greyed and not selectable,
// with their report, until the next run starts or they are cleared.

#include "gui/progress_pace.h"
#include "jobs/job_queue.h"

#include <QAbstractTableModel>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace cantova::ui::qt {

class JobTableModel final : public QAbstractTableModel {
public:
    enum Column { Source, Target, Gain, Output, Status, Progress, ColumnCount };
    // The percentage of a job (0 to 100) in the progress column.
    static constexpr int PercentRole = Qt::UserRole;

    // New percentages show at the pace's moments, other changes at once.
    JobTableModel(jobs::JobQueue& queue, ProgressPace& pace, QObject* parent);
    ~JobTableModel() override;

    // True from just before rows are inserted, removed or moved until they are.
    bool changingRows() const { return changingRows_; }

    // The finished jobs shown above the queue's rows.
    int finishedCount() const { return static_cast<int>(finished_.size()); }
    void clearFinished();
    // The job a row shows; nullptr for no row.
    const jobs::Job* jobOfRow(int row) const;
    // The table row of the queue's row index, and back (-1 for a finished job's row).
    int rowOfQueueIndex(int index) const { return index + finishedCount(); }
    int queueIndexOfRow(int row) const {
        return row < finishedCount() ? -1 : row - finishedCount();
    }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
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
    void removeRows(int first, int last);
    void updateRow(int index);
    void showPercents();
    void rowChanged(int index);
    QVariant cell(const jobs::Job& job, int percent, int column, int role) const;

    jobs::JobQueue& queue_;
    ProgressPace& pace_;
    // One for each job, in the order of the rows.
    std::vector<Shown> rows_;
    // The running jobs, by number: only their percentages change.
    std::set<int> running_;
    // Copies of the jobs of the queue that are done, by number, kept for when they leave it.
    std::map<int, jobs::Job> done_;
    // The jobs that left the queue done, in the order they had in it, shown first.
    std::vector<jobs::Job> finished_;
    bool changingRows_ = false;
    int subscription_ = 0;
    int paceSubscription_ = 0;
};

} // namespace cantova::ui::qt
