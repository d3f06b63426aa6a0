#include "jobs/job_file.h"

#include "jobs/job_record.h"
#include "settings/ini_file.h"
#include "ui/main_window.h"

namespace cantova::jobs {

bool WriteJobFile(const ui::MainWindow& window, const std::string& path) {
    const ui::ListBox& records = window.LstJobAudio(1);
    const int count = window.LstJobAudio(0).listCount();
    bool written = settings::WriteIniValue("AUDIO", "Number", std::to_string(count), path);
    for (int k = 0; k < count && k < records.listCount(); ++k) {
        const JobRecord record = ParseJobRecord(records.list(k));
        const std::string section = "STREAM" + std::to_string(k + 1);
        written = settings::WriteIniValue(section, "File", record.settingsFile, path) && written;
        written = settings::WriteIniValue(section, "Input", record.source, path) && written;
        written =
            settings::WriteIniValue(section, "Output", record.outputArgument, path) && written;
        written =
            settings::WriteIniValue(section, "StreamCopy", record.copyMarker, path) && written;
    }
    return written;
}

} // namespace cantova::jobs
