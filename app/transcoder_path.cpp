#include "app/transcoder_path.h"

#include "settings/paths.h"

namespace cantova::app {

std::string MakeTranscoderPath(const std::string& programFolder) {
    const std::string path = settings::ShortPathOf(programFolder) + "/Cantova/Cantova";
    if (path.find(' ') != std::string::npos) {
        return "\"" + path + "\"";
    }
    return path;
}

} // namespace cantova::app
