#pragma once

// Names of the files that belong to a job or a run, next to the source, and their creation. Files
// are created exclusively under the first free name, so that two instances of the program working
// in one folder never share or replace each other's files.

#include "settings/atomic_write.h"

#include <optional>
#include <string>
#include <string_view>

namespace cantova::jobs {

// The source path cut before the last "." of its file name; the whole path when
// the file name has none (a dot in a folder name never cuts the path).
std::string FileBase(const std::string& sourcePath);

// A name no existing entry (file, folder or link) has: name itself when free, else "_1" ...
// "_100" inserted before the first "." of the file name. Nothing when all of them are taken.
std::optional<std::string> MakeUniqueName(const std::string& name);

// Creates a file holding content under the first name MakeUniqueName would give at that moment,
// never over an existing entry: a name taken meanwhile (by another program) moves on to the next.
// The path of the new file; nothing when all names are taken or the file could not be written.
std::optional<std::string> CreateUniqueFile(const std::string& name, std::string_view content,
                                            settings::Flush flush = settings::Flush::Now);

// The settings file name of job number n of a source before it is made unique:
// base + ".stream" + n + ".aud", in the output folder when one is given (the source's base name
// there), else beside the source.
std::string SettingsFileName(const std::string& sourcePath, int jobNumber,
                             const std::optional<std::string>& outputFolder = std::nullopt);

// The job file name of a run before it is made unique: base + ".task", placed as above.
std::string JobFileName(const std::string& sourcePath,
                        const std::optional<std::string>& outputFolder = std::nullopt);

// Whether the file name is one SettingsFileName gives a job of the source (of any number), or
// one CreateUniqueFile makes of it.
bool IsSettingsFileName(const std::string& fileName, const std::string& sourcePath);

// Whether the file name is one JobFileName gives a run named after the source, or one
// CreateUniqueFile makes of it.
bool IsJobFileName(const std::string& fileName, const std::string& sourcePath);

// The part of a path after its last "/".
std::string FileNamePart(const std::string& path);

// The source's file name as the job list shows it, with the track of a container ("film.mkv #2").
std::string SourceLabel(const std::string& sourcePath, int track);

} // namespace cantova::jobs
