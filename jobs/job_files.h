#pragma once

// Names of the files that belong to a job or a run, next to the source.

#include <string>

namespace cantova::jobs {

// The source path cut before the last "." of its file name; the whole path when
// the file name has none (a dot in a folder name never cuts the path).
std::string FileBase(const std::string& sourcePath);

// A name no existing file has: name itself when free, else "_1" ... "_100"
// inserted before the first "." of the file name (the last candidate when all
// are taken).
std::string MakeUniqueName(const std::string& name);

// The settings file of job number n of a source: base + ".stream" + n + ".aud", made unique.
std::string SettingsFileName(const std::string& sourcePath, int jobNumber);

// The job file of a run: base + ".task", made unique.
std::string JobFileName(const std::string& sourcePath);

// The part of a path after its last "/".
std::string FileNamePart(const std::string& path);

} // namespace cantova::jobs
