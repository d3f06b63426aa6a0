#include "jobs/job_file.h"

#include "jobs/job_files.h"
#include "settings/ini_file.h"

namespace cantova::jobs {

std::optional<std::string> WriteJobFile(const std::vector<const Job*>& jobs,
                                        const std::string& name) {
    std::vector<settings::IniEntry> entries{{"AUDIO", "Number", std::to_string(jobs.size())}};
    for (std::size_t k = 0; k < jobs.size(); ++k) {
        const JobRecord record = jobs[k]->record();
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
