#pragma once

#include <functional>
#include <optional>
#include <string>

namespace cantova::ui {
struct Windows;
}

namespace cantova::cmdline {

// The output folder the main window names, without the final "/" of its text (so empty text for
// the root folder); nothing while the setting is empty: the outputs go beside the source.
std::optional<std::string> ChosenOutputFolder(const ui::Windows& windows);

// Whether an output path is already the output of another job.
using OutputTaken = std::function<bool(const std::string& path)>;

// The quoted output path of job number jobNumber: the output folder (by default the source's
// folder), "/Stream", the number and the target's extension. With ChkOutputNameFromSource ticked,
// the source's name without its extension takes the place of "Stream" and the number, followed by
// " (2)", " (3)", ... where the name is taken on disk (a WAV job's six mono files included) or
// by taken. Empty when the source does not name an existing file or has no folder part, or the
// output folder does not exist: no sensible output name exists then.
std::string BuildOutputName(const ui::Windows& windows, int jobNumber,
                            const OutputTaken& taken = {});

} // namespace cantova::cmdline
