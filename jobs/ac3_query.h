#pragma once

// The AC3 probe of the media information library, loaded by name for each query.

#include "tracklens/library_name.h"

#include <cstdint>
#include <string>

#include "jobs/library_loader.h"
#include "ui/message_boxes.h"

namespace cantova::ui {
struct ProgramValues;
} // namespace cantova::ui

namespace cantova::jobs {

// The record exchanged with the library's GetAc3Info.
struct AC3_INFO {
    std::int32_t Bitrate;
    std::int32_t Channels;
    std::int32_t SampleRate;
};

// The library's SONAME: what the run-time part of an installed library is called (the name
// without the version is the development link, which need not be installed).
inline constexpr const char* kTracklensLibrary = TRACKLENS_SONAME;
inline constexpr const char* kGetAc3InfoSymbol = "GetAc3Info";

// The library's export, with C linkage.
using GetAc3InfoFunction = int (*)(char* path, AC3_INFO* info);

// Loads the library, asks it about the file with a zeroed record and releases it again. Keeps the
// channel count and sampling rate in Ac3Channels and Ac3Frequency and returns the bit rate in
// kbit/s. When the library or its export is missing, a message says so and the result is 0 (the
// program values are left alone). A bit rate outside the 16-bit range gives 0.
std::int16_t QueryAc3Info(LibraryLoader& loader, ui::MessageBoxes& messages,
                          ui::ProgramValues& program, const std::string& path);

} // namespace cantova::jobs
