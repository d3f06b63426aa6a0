#include "jobs/job_record.h"

#include "ui/bitrate_ladder.h"

namespace cantova::jobs {

namespace {

std::string EncodeField(const std::string& field) {
    std::string encoded;
    for (char c : field) {
        if (c == '$') {
            encoded += "%24";
        } else if (c == '%') {
            encoded += "%25";
        } else {
            encoded += c;
        }
    }
    return encoded;
}

std::string DecodeField(const std::string& field) {
    std::string decoded;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '%' && field.compare(i, 3, "%24") == 0) {
            decoded += '$';
            i += 2;
        } else if (field[i] == '%' && field.compare(i, 3, "%25") == 0) {
            decoded += '%';
            i += 2;
        } else {
            decoded += field[i];
        }
    }
    return decoded;
}

} // namespace

std::string ParseString(const std::string& strdata, int position) {
    // Positions count from 1; p is the position of the "$" that opens the current field.
    const auto length = strdata.size();
    std::size_t p = strdata.find('$');
    int n = 1;
    while (p != std::string::npos && p + 1 < length) {
        const std::size_t start = p + 1;
        p = strdata.find('$', start);
        const std::size_t end = p == std::string::npos ? length : p;
        if (n == position) {
            return strdata.substr(start, end - start);
        }
        ++n;
    }
    return {};
}

std::string FormatJobRecord(const JobRecord& record) {
    return "$" + EncodeField(record.settingsFile) + "$" + EncodeField(record.source) + "$" +
           EncodeField(record.outputArgument) + "$" + EncodeField(record.copyMarker) + "$" +
           EncodeField(record.targetBitrate) + "$";
}

JobRecord ParseJobRecord(const std::string& text) {
    return {DecodeField(ParseString(text, 1)), DecodeField(ParseString(text, 2)),
            DecodeField(ParseString(text, 3)), DecodeField(ParseString(text, 4)),
            DecodeField(ParseString(text, 5))};
}

int BitrateForCode(int code) {
    return ui::KbpsOfRateCode(code);
}

} // namespace cantova::jobs
