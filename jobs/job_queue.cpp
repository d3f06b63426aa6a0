#include "jobs/job_queue.h"

#include "jobs/job_files.h"
#include "ui/main_window.h"

#include <algorithm>

namespace cantova::jobs {

std::string StatusName(JobStatus status) {
    switch (status) {
    case JobStatus::Queued:
        return "queued";
    case JobStatus::Running:
        return "running";
    case JobStatus::Done:
        return "done";
    case JobStatus::Failed:
        return "failed";
    case JobStatus::Skipped:
        return "skipped";
    case JobStatus::Stopped:
        return "stopped";
    case JobStatus::NotStarted:
        return "not started";
    }
    return {};
}

bool LeftForRetry(JobStatus status) {
    return status == JobStatus::Failed || status == JobStatus::Stopped ||
           status == JobStatus::Skipped || status == JobStatus::NotStarted;
}

JobRecord Job::record() const {
    return {settingsFile, source, outputArgument, copy ? "1" : "0", std::to_string(targetBitrate)};
}

int JobQueue::indexOf(int number) const {
    const auto found = rowOf_.find(number);
    return found == rowOf_.end() ? -1 : static_cast<int>(found->second);
}

int JobQueue::nextNumber() const {
    return numbers_.empty() ? 1 : *numbers_.rbegin() + 1;
}

void JobQueue::append(Job job) {
    const int row = count();
    window_.LstJobAudio(0).addItem(SourceLabel(job.source, job.track));
    window_.LstJobAudio(1).addItem(FormatJobRecord(job.record()), job.number);
    rowOf_[job.number] = jobs_.size();
    numbers_.insert(job.number);
    jobs_.push_back(std::move(job));
    changed({.kind = JobListChange::Kind::Inserted, .first = row});
}

void JobQueue::remove(int index) {
    const std::size_t row = static_cast<std::size_t>(index);
    rowOf_.erase(jobs_[row].number);
    numbers_.erase(jobs_[row].number);
    jobs_.erase(jobs_.begin() + index);
    reindexFrom(row);
    ui::ListBox& names = window_.LstJobAudio(0);
    if (index + 1 == names.listCount()) {
        // The list box drops its selection with the selected item.
        names.removeItem(index);
    } else {
        // An item's data is its position, so those after it change too.
        const int selected = selectedIndex();
        std::vector<ui::ListItem> items = names.items();
        items.erase(items.begin() + index);
        for (std::size_t i = row; i < items.size(); ++i) {
            items[i].data = static_cast<int>(i);
        }
        names.restoreItems(items,
                           selected > index ? selected - 1 : (selected == index ? -1 : selected));
    }
    window_.LstJobAudio(1).removeItem(index);
    changed({.kind = JobListChange::Kind::Removed, .first = index});
}

int JobQueue::removeIf(const std::function<bool(const Job&)>& leaves) {
    std::vector<bool> leaving(jobs_.size());
    int selected = selectedIndex();
    int selectedAfter = -1;
    std::size_t kept = 0;
    for (std::size_t row = 0; row < jobs_.size(); ++row) {
        leaving[row] = leaves(jobs_[row]);
        if (!leaving[row]) {
            if (static_cast<int>(row) == selected) {
                selectedAfter = static_cast<int>(kept);
            }
            ++kept;
        }
    }
    const int removed = static_cast<int>(jobs_.size() - kept);
    if (removed == 0) {
        return 0;
    }
    std::vector<Job> remaining;
    remaining.reserve(kept);
    std::vector<ui::ListItem> names, records;
    const std::vector<ui::ListItem>& shownNames = window_.LstJobAudio(0).items();
    const std::vector<ui::ListItem>& shownRecords = window_.LstJobAudio(1).items();
    for (std::size_t row = 0; row < jobs_.size(); ++row) {
        if (leaving[row]) {
            numbers_.erase(jobs_[row].number);
            rowOf_.erase(jobs_[row].number);
        } else {
            names.push_back({shownNames[row].text, static_cast<int>(names.size())});
            records.push_back(shownRecords[row]);
            remaining.push_back(std::move(jobs_[row]));
        }
    }
    jobs_ = std::move(remaining);
    reindexFrom(0);
    window_.LstJobAudio(0).restoreItems(names, selectedAfter);
    window_.LstJobAudio(1).restoreItems(records, -1);
    // Runs of removed rows from the last to the first, so that each names rows as they are when
    // the observer hears of it.
    for (std::size_t end = leaving.size(); end > 0;) {
        if (!leaving[end - 1]) {
            --end;
            continue;
        }
        std::size_t first = end - 1;
        while (first > 0 && leaving[first - 1]) {
            --first;
        }
        changed({.kind = JobListChange::Kind::Removed,
                 .first = static_cast<int>(first),
                 .count = static_cast<int>(end - first)});
        end = first;
    }
    return removed;
}

bool JobQueue::move(int index, int offset) {
    const int target = index + offset;
    if (index < 0 || index >= count() || target < 0 || target >= count()) {
        return false;
    }
    std::swap(jobs_[static_cast<std::size_t>(index)], jobs_[static_cast<std::size_t>(target)]);
    rowOf_[jobs_[static_cast<std::size_t>(index)].number] = static_cast<std::size_t>(index);
    rowOf_[jobs_[static_cast<std::size_t>(target)].number] = static_cast<std::size_t>(target);
    const int selected = selectedIndex();
    mirrorAll(selected == index ? target : (selected == target ? index : selected));
    changed({.kind = JobListChange::Kind::Moved, .first = index, .to = target});
    return true;
}

void JobQueue::update(int number, const std::function<void(Job&)>& change) {
    const int index = indexOf(number);
    if (index < 0) {
        return;
    }
    change(jobs_[static_cast<std::size_t>(index)]);
    changed({.kind = JobListChange::Kind::Updated, .first = index});
}

void JobQueue::setPercent(int number, int percent) {
    const int index = indexOf(number);
    if (index < 0) {
        return;
    }
    jobs_[static_cast<std::size_t>(index)].percent = percent;
    changed({.kind = JobListChange::Kind::Progressed, .first = index});
}

void JobQueue::setRunJobFile(const std::optional<std::string>& path) {
    runJobFile_ = path;
    mirrorRunJobFile();
    changed({.kind = JobListChange::Kind::RunJobFile});
}

void JobQueue::setRunFolder(const std::optional<std::string>& path) {
    runFolder_ = path;
    changed({.kind = JobListChange::Kind::RunJobFile});
}

int JobQueue::selectedIndex() const {
    return window_.LstJobAudio(0).listIndex();
}

void JobQueue::select(int index) {
    window_.LstJobAudio(0).setListIndex(index);
    changed({.kind = JobListChange::Kind::Selected, .first = selectedIndex()});
}

void JobQueue::reindexFrom(std::size_t row) {
    for (; row < jobs_.size(); ++row) {
        rowOf_[jobs_[row].number] = row;
    }
}

void JobQueue::mirrorAll(int selection) {
    std::vector<ui::ListItem> names, records;
    for (const Job& job : jobs_) {
        names.push_back({SourceLabel(job.source, job.track), static_cast<int>(names.size())});
        records.push_back({FormatJobRecord(job.record()), job.number});
    }
    window_.LstJobAudio(0).restoreItems(names, selection < count() ? selection : -1);
    window_.LstJobAudio(1).restoreItems(records, -1);
}

void JobQueue::mirrorRunJobFile() {
    ui::ListBox& fileNames = window_.LstJobFile(0);
    ui::ListBox& filePaths = window_.LstJobFile(1);
    fileNames.clear();
    filePaths.clear();
    if (runJobFile_) {
        fileNames.addItem("Job 1");
        filePaths.addItem(*runJobFile_);
    }
}

void JobQueue::changed(const JobListChange& change) {
    // A copy, so that an observer may unsubscribe while it is told.
    const auto observers = observers_;
    for (const auto& [id, observer] : observers) {
        observer(change);
    }
}

int JobQueue::subscribe(Observer observer) {
    observers_.emplace_back(nextObserverId_, std::move(observer));
    return nextObserverId_++;
}

void JobQueue::unsubscribe(int id) {
    std::erase_if(observers_, [id](const auto& entry) { return entry.first == id; });
}

} // namespace cantova::jobs
