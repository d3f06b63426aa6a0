#include "jobs/job_file.h"

#include "jobs/job_files.h"
#include "jobs/job_record.h"
#include "settings/ini_file.h"
#include "ui/main_window.h"

namespace cantova::jobs {

std::optional<std::string> WriteJobFile(const ui::MainWindow& window, const std::string& name) {
    const ui::ListBox& records = window.LstJobAudio(1);
    const int count = window.LstJobAudio(0).listCount();
    std::vector<settings::IniEntry> entries{{"AUDIO", "Number", std::to_string(count)}};
    for (int k = 0; k < count && k < records.listCount(); ++k) {
        const JobRecord record = ParseJobRecord(records.list(k));
        const std::string section = "STREAM" + std::to_string(k + 1);
        entries.push_back({section, "File", record.settingsFile});
        entries.push_back({section, "Input", record.source});
        entries.push_back({section, "Output", record.outputArgument});
        entries.push_back({section, "StreamCopy", record.copyMarker});
    }
    // The file is a record for people; a path no line can hold is left out of it, as the run
    // works from the job list itself.
    return CreateUniqueFile(name, settings::FormatIniFile(entries));
}

} // namespace cantova::jobs
