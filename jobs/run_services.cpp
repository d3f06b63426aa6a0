#include "jobs/run_services.h"

#include "settings/paths.h"

namespace cantova::jobs {

TranscoderLogFiles& SystemTranscoderLogFiles() {
    class OnDisk : public TranscoderLogFiles {
    public:
        void RemoveOld(const std::string& path) override {
            if (settings::FileExist(path)) {
                settings::DeleteFile(path);
            }
        }
        bool Exists(const std::string& path) override { return settings::FileExist(path); }
    };
    static OnDisk files;
    return files;
}

LogViewer& SilentLogViewer() {
    class Silent : public LogViewer {
    public:
        void ShowLog(const std::string&) override {}
    };
    static Silent viewer;
    return viewer;
}

RunNotifier& SilentRunNotifier() {
    class Silent : public RunNotifier {
    public:
        void RunEnded(int, int) override {}
    };
    static Silent notifier;
    return notifier;
}

} // namespace cantova::jobs
