#include "gui/job_table_model.h"

#include "jobs/job_files.h"

#include <algorithm>

namespace cantova::ui::qt {

namespace {

std::string CodecName(ui::Codec codec) {
    switch (codec) {
    case ui::Codec::Ac3:
        return "AC3";
    case ui::Codec::Mp3:
        return "MP3";
    case ui::Codec::Ogg:
        return "Ogg";
    case ui::Codec::Wav:
        return "WAV";
    case ui::Codec::Opus:
        return "Opus";
    case ui::Codec::Flac:
        return "FLAC";
    }
    return {};
}

// "MP3 CBR 192 kbit/s", "AC3 copy", "WAV", "Ogg VBR ~160 kbit/s (q 0.525), 5.1 → 2.0": the
// target as the job's command line has it, with the change of channels.
std::string TargetText(const jobs::Job& job) {
    if (job.copy) {
        return "AC3 copy";
    }
    if (!job.target.empty()) {
        return job.target + (job.channels.empty() ? "" : ", " + job.channels);
    }
    if (job.codec == ui::Codec::Wav || job.codec == ui::Codec::Flac || job.targetBitrate <= 0) {
        return CodecName(job.codec);
    }
    return CodecName(job.codec) + " " + std::to_string(job.targetBitrate) + " kbit/s";
}

// The gain mode, or what the job's command leaves out of the window's settings.
std::string GainText(const jobs::Job& job, int role) {
    if (job.notApplied.empty()) {
        return job.gain;
    }
    if (role == Qt::ToolTipRole) {
        return "A WAV job from a source that is not AC3 is only decoded and written; these "
               "settings are not applied to it: " +
               job.notApplied;
    }
    return "not applied: " + job.notApplied;
}

// The output argument is a path in quotes (a copy job's is the source itself).
std::string OutputText(const jobs::Job& job) {
    std::string path = job.outputArgument;
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"') {
        path = path.substr(1, path.size() - 2);
    }
    return jobs::FileNamePart(path);
}

// "running 45%", "failed: the transcoder failed (exit status 3)", "skipped, its settings file is
// missing", "stopped".
std::string StatusText(const jobs::Job& job, int percent) {
    switch (job.status) {
    case jobs::JobStatus::Running:
        return "running " + std::to_string(percent) + "%";
    case jobs::JobStatus::Failed:
        return "failed: " + job.reason;
    case jobs::JobStatus::Skipped:
        // The reason begins with "skipped".
        return job.reason.empty() ? jobs::StatusName(job.status) : job.reason;
    case jobs::JobStatus::Done:
        return job.sound ? "done, " + jobs::SoundReportText(*job.sound) : "done";
    default:
        return jobs::StatusName(job.status);
    }
}

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

JobTableModel::JobTableModel(jobs::JobQueue& queue, ProgressPace& pace, QObject* parent)
    : QAbstractTableModel(parent), queue_(queue), pace_(pace) {
    for (const jobs::Job& job : queue_.jobs()) {
        rows_.push_back(ShownOf(job));
    }
    subscription_ = queue_.subscribe([this](const jobs::JobListChange& change) { follow(change); });
    paceSubscription_ = pace_.follow([this] { showPercents(); });
}

JobTableModel::~JobTableModel() {
    queue_.unsubscribe(subscription_);
    pace_.stopFollowing(paceSubscription_);
}

JobTableModel::Shown JobTableModel::ShownOf(const jobs::Job& job) {
    return {job.number, job.status, job.reason, job.percent};
}

void JobTableModel::follow(const jobs::JobListChange& change) {
    using Kind = jobs::JobListChange::Kind;
    changingRows_ =
        change.kind == Kind::Inserted || change.kind == Kind::Removed || change.kind == Kind::Moved;
    applyChange(change);
    changingRows_ = false;
}

void JobTableModel::applyChange(const jobs::JobListChange& change) {
    using Kind = jobs::JobListChange::Kind;
    const std::vector<jobs::Job>& jobs = queue_.jobs();
    const int last = change.first + change.count - 1;
    switch (change.kind) {
    case Kind::Inserted:
        beginInsertRows({}, rowOfQueueIndex(change.first), rowOfQueueIndex(last));
        for (int row = change.first; row <= last; ++row) {
            rows_.insert(rows_.begin() + row, ShownOf(jobs[static_cast<std::size_t>(row)]));
        }
        endInsertRows();
        return;
    case Kind::Removed:
        removeRows(change.first, last);
        return;
    case Kind::Moved: {
        // Qt names the row the moved one goes before, as the rows are before the move.
        const int before = change.to > change.first ? change.to + 1 : change.to;
        beginMoveRows({}, rowOfQueueIndex(change.first), rowOfQueueIndex(change.first), {},
                      rowOfQueueIndex(before));
        const Shown moved = rows_[static_cast<std::size_t>(change.first)];
        rows_.erase(rows_.begin() + change.first);
        rows_.insert(rows_.begin() + change.to, moved);
        endMoveRows();
        return;
    }
    case Kind::Updated:
        updateRow(change.first);
        return;
    case Kind::Progressed: // shown at the pace's moment
    case Kind::Selected:
    case Kind::RunJobFile:
        return;
    }
}

void JobTableModel::removeRows(int first, int last) {
    std::vector<jobs::Job> leftDone;
    for (int row = first; row <= last; ++row) {
        const int number = rows_[static_cast<std::size_t>(row)].number;
        running_.erase(number);
        if (const auto done = done_.find(number); done != done_.end()) {
            leftDone.push_back(std::move(done->second));
            done_.erase(done);
        }
    }
    beginRemoveRows({}, rowOfQueueIndex(first), rowOfQueueIndex(last));
    rows_.erase(rows_.begin() + first, rows_.begin() + last + 1);
    endRemoveRows();
    if (leftDone.empty()) {
        return;
    }
    // A list's jobs leave in runs of rows from the last to the first: each run goes above those
    // that left before it, so that the finished jobs keep the order they had in the list.
    beginInsertRows({}, 0, static_cast<int>(leftDone.size()) - 1);
    finished_.insert(finished_.begin(), std::make_move_iterator(leftDone.begin()),
                     std::make_move_iterator(leftDone.end()));
    endInsertRows();
}

void JobTableModel::updateRow(int index) {
    const jobs::Job& job = queue_.at(index);
    Shown& shown = rows_[static_cast<std::size_t>(index)];
    const Shown now = ShownOf(job);
    if (now.status == jobs::JobStatus::Running) {
        // A new run begins with the finished jobs of the last one cleared.
        if (running_.empty() && !finished_.empty() && shown.status != now.status) {
            clearFinished();
        }
        running_.insert(now.number);
    } else {
        running_.erase(now.number);
    }
    if (now.status == jobs::JobStatus::Done) {
        done_[now.number] = job;
    } else {
        done_.erase(now.number);
    }
    if (now != shown) {
        shown = now;
        rowChanged(index);
    }
}

void JobTableModel::clearFinished() {
    if (finished_.empty()) {
        return;
    }
    changingRows_ = true;
    beginRemoveRows({}, 0, finishedCount() - 1);
    finished_.clear();
    endRemoveRows();
    changingRows_ = false;
}

void JobTableModel::showPercents() {
    for (const int number : running_) {
        const int index = queue_.indexOf(number);
        if (index < 0 || index >= static_cast<int>(rows_.size())) {
            continue;
        }
        const Shown now = ShownOf(queue_.at(index));
        if (now != rows_[static_cast<std::size_t>(index)]) {
            rows_[static_cast<std::size_t>(index)] = now;
            rowChanged(index);
        }
    }
}

// Only the status and the progress of a job change once it is in the list.
void JobTableModel::rowChanged(int index) {
    const int row = rowOfQueueIndex(index);
    for (const int column : {Status, Progress}) {
        emit dataChanged(this->index(row, column), this->index(row, column));
    }
}

int JobTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : finishedCount() + static_cast<int>(rows_.size());
}

int JobTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant JobTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    if (index.row() < finishedCount()) {
        const jobs::Job& job = finished_[static_cast<std::size_t>(index.row())];
        return cell(job, job.percent, index.column(), role);
    }
    const Shown& shown = rows_[static_cast<std::size_t>(queueIndexOfRow(index.row()))];
    const int at = queue_.indexOf(shown.number);
    if (at < 0) {
        return {};
    }
    // The percentage last told to the views, which the title and the status bar show too: a
    // repaint between two paces must not show a newer one.
    return cell(queue_.at(at), shown.percent, index.column(), role);
}

QVariant JobTableModel::cell(const jobs::Job& job, int percent, int column, int role) const {
    if (role == PercentRole) {
        return percent;
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) {
        return {};
    }
    switch (column) {
    case Source:
        return Text(role == Qt::ToolTipRole ? job.source
                                            : jobs::SourceLabel(job.source, job.track));
    case Target:
        return Text(TargetText(job));
    case Gain:
        return Text(GainText(job, role));
    case Output:
        return Text(OutputText(job));
    case Status:
        return Text(StatusText(job, percent));
    case Progress:
        return QString::number(percent) + "%";
    default:
        return {};
    }
}

const jobs::Job* JobTableModel::jobOfRow(int row) const {
    if (row < 0 || row >= rowCount()) {
        return nullptr;
    }
    if (row < finishedCount()) {
        return &finished_[static_cast<std::size_t>(row)];
    }
    const int at = queue_.indexOf(rows_[static_cast<std::size_t>(queueIndexOfRow(row))].number);
    return at < 0 ? nullptr : &queue_.at(at);
}

Qt::ItemFlags JobTableModel::flags(const QModelIndex& index) const {
    // A finished job's row is greyed out and cannot be chosen: it is no job of the list any more.
    if (index.isValid() && index.row() < finishedCount()) {
        return Qt::NoItemFlags;
    }
    return QAbstractTableModel::flags(index);
}

QVariant JobTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    static const char* const titles[ColumnCount] = {"Source", "Target", "Gain",
                                                    "Output", "Status", "Progress"};
    return section >= 0 && section < ColumnCount ? QString(titles[section]) : QVariant();
}

} // namespace cantova::ui::qt
