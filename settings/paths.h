#pragma once

#include <string>

namespace cantova::settings {

// There are no short (8.3) names here: the path itself when it names an existing file or folder,
// empty text when it does not.
std::string ShortPathOf(const std::string& path);

// True when path names a file that can be opened for reading and is not a folder.
bool FileExist(const std::string& path);

// The user's home folder: $HOME when set and not empty, else the home of the user's password
// entry; empty text when neither is known.
std::string HomeFolder();

// The folder of the program's state between sessions (the saved job lists): $XDG_STATE_HOME/cantova
// when that is an absolute path, else HomeFolder() + "/.local/state/cantova".
std::string StateFolder();

// The folder of the user's settings of the program (what the window remembers between sessions):
// $XDG_CONFIG_HOME/cantova when that is an absolute path, else HomeFolder() + "/.config/cantova".
std::string ConfigFolder();

// The transcoder's log, HomeFolder() + "/Audio_Stream.log".
std::string TranscoderLogPath();

// The folder of the running executable without a final "/" (so empty text for the root folder,
// and when it cannot be found).
std::string ProgramFolder();

// Removes the file at path (not a folder); true when it was removed.
bool DeleteFile(const std::string& path);

} // namespace cantova::settings
