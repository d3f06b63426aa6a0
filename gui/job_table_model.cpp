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
        return "OGG";
    case ui::Codec::Wav:
        return "WAV";
    }
    return {};
}

// "MP3 192 kbit/s", "AC3 copy", "WAV".
std::string TargetText(const jobs::Job& job) {
    if (job.copy) {
        return "AC3 copy";
    }
    if (job.codec == ui::Codec::Wav || job.targetBitrate <= 0) {
        return CodecName(job.codec);
    }
    return CodecName(job.codec) + " " + std::to_string(job.targetBitrate) + " kbit/s";
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
std::string StatusText(const jobs::Job& job) {
    switch (job.status) {
    case jobs::JobStatus::Running:
        return "running " + std::to_string(job.percent) + "%";
    case jobs::JobStatus::Failed:
        return "failed: " + job.reason;
    case jobs::JobStatus::Skipped:
        // The reason begins with "skipped".
        return job.reason.empty() ? jobs::StatusName(job.status) : job.reason;
    default:
        return jobs::StatusName(job.status);
    }
}

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

JobTableModel::JobTableModel(jobs::JobQueue& queue, QObject* parent)
    : QAbstractTableModel(parent), queue_(queue) {
    for (const jobs::Job& job : queue_.jobs()) {
        rows_.push_back(ShownOf(job));
    }
    subscription_ = queue_.subscribe([this] { follow(); });
}

JobTableModel::~JobTableModel() {
    queue_.unsubscribe(subscription_);
}

JobTableModel::Shown JobTableModel::ShownOf(const jobs::Job& job) {
    return {job.number, job.status, job.reason, job.percent};
}

void JobTableModel::follow() {
    const std::vector<jobs::Job>& jobs = queue_.jobs();
    const bool sameJobs = std::equal(
        jobs.begin(), jobs.end(), rows_.begin(), rows_.end(),
        [](const jobs::Job& job, const Shown& shown) { return job.number == shown.number; });
    if (!sameJobs) {
        beginResetModel();
        rows_.clear();
        for (const jobs::Job& job : jobs) {
            rows_.push_back(ShownOf(job));
        }
        endResetModel();
        return;
    }
    bool percentsOnly = false;
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        const Shown now = ShownOf(jobs[row]);
        if (now.status != rows_[row].status || now.reason != rows_[row].reason) {
            rows_[row] = now;
            rowChanged(static_cast<int>(row));
        } else if (now.percent != rows_[row].percent) {
            percentsOnly = true;
        }
    }
    if (percentsOnly) {
        percents_.request();
    }
}

void JobTableModel::showPercents() {
    for (std::size_t row = 0; row < rows_.size() && row < queue_.jobs().size(); ++row) {
        const Shown now = ShownOf(queue_.jobs()[row]);
        if (now != rows_[row]) {
            rows_[row] = now;
            rowChanged(static_cast<int>(row));
        }
    }
}

// Only the status and the progress of a job change once it is in the list.
void JobTableModel::rowChanged(int row) {
    for (const int column : {Status, Progress}) {
        emit dataChanged(index(row, column), index(row, column));
    }
}

int JobTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int JobTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant JobTableModel::data(const QModelIndex& index, int role) const {
    const int at = index.isValid() && index.row() < rowCount()
                       ? queue_.indexOf(rows_[static_cast<std::size_t>(index.row())].number)
                       : -1;
    if (at < 0) {
        return {};
    }
    const jobs::Job& job = queue_.at(at);
    if (role == PercentRole) {
        return job.percent;
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) {
        return {};
    }
    switch (index.column()) {
    case Source:
        return Text(role == Qt::ToolTipRole ? job.source : jobs::FileNamePart(job.source));
    case Target:
        return Text(TargetText(job));
    case Output:
        return Text(OutputText(job));
    case Status:
        return Text(StatusText(job));
    case Progress:
        return QString::number(job.percent) + "%";
    default:
        return {};
    }
}

QVariant JobTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    static const char* const titles[ColumnCount] = {"Source", "Target", "Output", "Status",
                                                    "Progress"};
    return section >= 0 && section < ColumnCount ? QString(titles[section]) : QVariant();
}

} // namespace cantova::ui::qt
