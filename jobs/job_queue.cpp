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
    }
    return {};
}

bool LeftForRetry(JobStatus status) {
    return status == JobStatus::Failed || status == JobStatus::Stopped ||
           status == JobStatus::Skipped;
}

JobRecord Job::record() const {
    return {settingsFile, source, outputArgument, copy ? "1" : "0", std::to_string(targetBitrate)};
}

int JobQueue::indexOf(int number) const {
    const auto found = std::find_if(jobs_.begin(), jobs_.end(),
                                    [number](const Job& job) { return job.number == number; });
    return found == jobs_.end() ? -1 : static_cast<int>(found - jobs_.begin());
}

int JobQueue::nextNumber() const {
    int highest = 0;
    for (const Job& job : jobs_) {
        highest = std::max(highest, job.number);
    }
    return highest + 1;
}

void JobQueue::append(Job job) {
    jobs_.push_back(std::move(job));
    mirror(selectedIndex());
}

void JobQueue::remove(int index) {
    jobs_.erase(jobs_.begin() + index);
    const int selected = selectedIndex();
    mirror(selected > index ? selected - 1 : (selected == index ? -1 : selected));
}

bool JobQueue::move(int index, int offset) {
    const int target = index + offset;
    if (index < 0 || index >= count() || target < 0 || target >= count()) {
        return false;
    }
    std::swap(jobs_[static_cast<std::size_t>(index)], jobs_[static_cast<std::size_t>(target)]);
    const int selected = selectedIndex();
    mirror(selected == index ? target : (selected == target ? index : selected));
    return true;
}

void JobQueue::update(int number, const std::function<void(Job&)>& change) {
    const int index = indexOf(number);
    if (index < 0) {
        return;
    }
    change(jobs_[static_cast<std::size_t>(index)]);
    changed();
}

void JobQueue::setRunJobFile(const std::optional<std::string>& path) {
    runJobFile_ = path;
    mirror(selectedIndex());
}

void JobQueue::setRunFolder(const std::optional<std::string>& path) {
    runFolder_ = path;
    changed();
}

int JobQueue::selectedIndex() const {
    return window_.LstJobAudio(0).listIndex();
}

void JobQueue::select(int index) {
    window_.LstJobAudio(0).setListIndex(index);
    changed();
}

void JobQueue::mirror(int selection) {
    ui::ListBox& visible = window_.LstJobAudio(0);
    ui::ListBox& records = window_.LstJobAudio(1);
    visible.clear();
    records.clear();
    for (const Job& job : jobs_) {
        visible.addItem(FileNamePart(job.source));
        records.addItem(FormatJobRecord(job.record()), job.number);
    }
    visible.setListIndex(selection < count() ? selection : -1);
    ui::ListBox& fileNames = window_.LstJobFile(0);
    ui::ListBox& filePaths = window_.LstJobFile(1);
    fileNames.clear();
    filePaths.clear();
    if (runJobFile_) {
        fileNames.addItem("Job 1");
        filePaths.addItem(*runJobFile_);
    }
    changed();
}

void JobQueue::changed() {
    // A copy, so that an observer may unsubscribe while it is told.
    const auto observers = observers_;
    for (const auto& [id, observer] : observers) {
        observer();
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
