#pragma once

// The record of one job, kept as one "$"-separated text in the hidden job
// list: "$settings$source$output$copy$bitrate$". A "$" or "%" inside a field
// is written as "%24" or "%25", so that paths holding them survive intact.

#include <optional>
#include <string>

namespace cantova::jobs {

struct JobRecord {
    std::string settingsFile;
    std::string source;
    std::string outputArgument;
    std::string copyMarker;
    std::string targetBitrate;
};

// Field number position of a "$"-separated record, empty text when there is none.
std::string ParseString(const std::string& strdata, int position);

std::string FormatJobRecord(const JobRecord& record);
JobRecord ParseJobRecord(const std::string& text);

// Target bit rate in kbit/s for a bitrate code of the bit-rate list, 0 for an unknown code.
int BitrateForCode(int code);

} // namespace cantova::jobs
