#include "jobs/ac3_query.h"

#include "jobs/library_loader.h"
#include "ui/program_values.h"

#include <limits>
#include <vector>

namespace cantova::jobs {

std::int16_t QueryAc3Info(LibraryLoader& loader, ui::MessageBoxes& messages,
                          ui::ProgramValues& program, const std::string& path) {
    LibraryLoader::Handle library = loader.Open(kTracklensLibrary);
    if (library == nullptr) {
        messages.Show(std::string("Can't find the ") + kTracklensLibrary + " file", "Error",
                      ui::MessageIcon::Exclamation);
        return 0;
    }
    auto getAc3Info =
        reinterpret_cast<GetAc3InfoFunction>(loader.FindSymbol(library, kGetAc3InfoSymbol));
    if (getAc3Info == nullptr) {
        loader.Close(library);
        messages.Show(std::string("Can't find the getac3info function in the ") +
                          kTracklensLibrary + " file",
                      "Error", ui::MessageIcon::Exclamation);
        return 0;
    }
    // The export takes a writable, zero-terminated 8-bit string.
    std::vector<char> pathBytes(path.begin(), path.end());
    pathBytes.push_back('\0');
    AC3_INFO info{0, 0, 0};
    getAc3Info(pathBytes.data(), &info);
    loader.Close(library);

    program.Ac3Channels = info.Channels;
    program.Ac3Frequency = info.SampleRate;
    if (info.Bitrate < std::numeric_limits<std::int16_t>::min() ||
        info.Bitrate > std::numeric_limits<std::int16_t>::max()) {
        return 0;
    }
    return static_cast<std::int16_t>(info.Bitrate);
}

} // namespace cantova::jobs
