#pragma once

// The job file of a run (".task", INI syntax): the number of jobs and, per job,
// its settings file, source, output argument and copy marker.

#include <string>

namespace cantova::ui {
class MainWindow;
}

namespace cantova::jobs {

// Writes the job file for the current job list; false when a write failed.
bool WriteJobFile(const ui::MainWindow& window, const std::string& path);

} // namespace cantova::jobs
