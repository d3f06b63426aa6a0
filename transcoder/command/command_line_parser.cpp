#include "command/command_line_parser.h"

#include "command/command_line_error.h"
#include "command/decimal_text.h"
#include "command/group_parsers.h"
#include "command/source_name.h"

#include <algorithm>
#include <set>

namespace cantova {

CoreOptions parseCoreGroup(GroupReader& reader) {
    CoreOptions core;
    bool channelsSeen = false;
    while (reader.hasSwitch()) {
        const std::string& word = reader.takeSwitch();
        std::string* path = nullptr;
        if (word == "-input") {
            path = &core.input;
        } else if (word == "-output") {
            path = &core.output;
        } else if (word == "-logfilea") {
            path = &core.logFile;
        }
        if (path != nullptr) {
            if (!path->empty()) {
                reader.fail("has switch " + word + " twice");
            }
            *path = reader.takeValue(word);
            if (path->empty()) {
                reader.fail("switch " + word + " has an empty path");
            }
            continue;
        }
        if (word == "-track") {
            if (core.track) {
                reader.fail("has switch -track twice");
            }
            const std::string value = reader.takeValue(word);
            const std::optional<int> number = parseInteger(value);
            if (!number || *number < 1 || *number > kMostTracks) {
                reader.fail("switch -track needs a track number from 1 to " +
                            std::to_string(kMostTracks) + ", not \"" + value + "\"");
            }
            core.track = number;
            continue;
        }
        WavChannels channels;
        if (word == "-2ch") {
            channels = WavChannels::Stereo;
        } else if (word == "-6chwav") {
            channels = WavChannels::SixChannelFile;
        } else if (word == "-6ch") {
            channels = WavChannels::SixMonoFiles;
        } else {
            reader.fail("has unknown switch \"" + word + "\"");
        }
        if (channelsSeen) {
            reader.fail("has more than one channel flag");
        }
        channelsSeen = true;
        core.wavChannels = channels;
    }
    if (core.input.empty() || core.output.empty() || core.logFile.empty()) {
        reader.fail("needs -input, -output and -logfilea");
    }
    return core;
}

JobRequest parseCommandLine(std::span<const std::string> words) {
    JobRequest job;
    std::set<std::string> groupsSeen;
    std::size_t position = 0;
    if (words.empty() || words.front() != "-core(") {
        throw CommandLineError("the command line must begin with the -core( group");
    }
    while (position < words.size()) {
        const std::string opener = words[position++];
        if (!groupsSeen.insert(opener).second) {
            throw CommandLineError("group " + opener + " appears twice");
        }
        GroupReader reader(words, position, opener);
        if (opener == "-core(") {
            job.core = parseCoreGroup(reader);
        } else if (opener == "-ota(") {
            job.ota = parseOtaGroup(reader);
        } else if (opener == "-azid(") {
            job.azid = parseAzidGroup(reader);
        } else if (opener == "-boost(") {
            job.boost = parseBoostGroup(reader);
        } else if (opener == "-lame(") {
            job.lame = parseLameGroup(reader);
        } else if (opener == "-ogg(") {
            job.ogg = parseOggGroup(reader);
        } else if (opener == "-ac3enc(") {
            job.ac3enc = parseAc3EncGroup(reader);
        } else if (opener == "-opus(") {
            job.opus = parseOpusGroup(reader);
        } else if (opener == "-flac(") {
            job.flac = parseFlacGroup(reader);
        } else if (opener == "-ssrc(") {
            job.ssrc = parseSsrcGroup(reader);
        } else if (opener == "-split(") {
            job.split = parseSplitGroup(reader);
        } else {
            throw CommandLineError("unknown word \"" + opener + "\" where a group must begin");
        }
    }
    if (isLpcmSource(job.core.input)) {
        lpcmFormatFromName(job.core.input); // refuses a sample rate out of range
    }
    const int encoderGroups = int(job.lame.has_value()) + int(job.ogg.has_value()) +
                              int(job.ac3enc.has_value()) + int(job.opus.has_value()) +
                              int(job.flac.has_value());
    if (encoderGroups > 1) {
        throw CommandLineError(
            "only one of -lame(, -ogg(, -ac3enc(, -opus( and -flac( may be given");
    }
    return job;
}

std::optional<std::string> findLogFile(std::span<const std::string> words) {
    auto found = std::find(words.begin(), words.end(), std::string("-logfilea"));
    if (found == words.end() || found + 1 == words.end() || *(found + 1) == ")" ||
        (found + 1)->empty()) {
        return std::nullopt;
    }
    return *(found + 1);
}

} // namespace cantova
