#pragma once

// The files a saved job list names, removed when its jobs are taken back or discarded. A list is
// only text: whatever it names goes only when it is what the program itself writes there (a
// settings file or job file named after a job's source, beside the source or in the job's output
// folder; a run's private folder holding nothing but job logs), a file of the user's own and never
// a link. So a damaged or planted list cannot cost the user a file.

#include "jobs/job_queue.h"

#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace cantova::jobs {

// Why the job's settings file cannot be one the program made for it; nothing when it can.
std::optional<std::string> SettingsFileProblem(const Job& job);

// The job's settings file.
void RemoveSettingsFile(const Job& job);

// A job's settings file, and the partial outputs of a job that was running when its program died.
void RemoveJobFiles(const Job& job);

// The hidden files the transcoder writes a job's outputs under until they are complete, of
// transcoders that no longer run.
void RemovePartialOutputs(const Job& job);

// The job file of a run of jobs: one named after the source of one of them, in its folder.
void RemoveRunJobFile(const std::optional<std::string>& path, const std::vector<Job>& jobs);

// A run's private folder for the jobs' logs, with the logs, when it holds nothing else.
void RemoveRunFolder(const std::optional<std::string>& folder);

// What the program that left the jobs' list made after it last saved it, before it was killed:
// in the jobs' folders, the settings files of jobs numbered above every job of the list and the
// job file of a run of them, written after the list (since) and named by no list (named). Files
// written in the last seconds are left alone, as a running program saves what it makes within a
// second.
void RemoveUnsavedJobFiles(const std::vector<Job>& jobs, std::filesystem::file_time_type since,
                           const std::set<std::string>& named);

} // namespace cantova::jobs
