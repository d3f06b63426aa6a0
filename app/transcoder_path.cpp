#include "app/transcoder_path.h"

#include "cmdline/argument_quoting.h"
#include "settings/paths.h"

namespace cantova::app {

std::string MakeTranscoderPath(const std::string& programFolder) {
    return cmdline::QuoteProgram(settings::ShortPathOf(programFolder) + "/Cantova/Cantova");
}

} // namespace cantova::app
