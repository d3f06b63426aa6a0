#pragma once

// A temporary folder whose "home" subfolder is the program's home while a GUI test runs, so that
// the transcoder log, the profiles and the saved job lists a test writes stay out of the user's
// own home.

#include "support/temp_folder.h"

#include <QByteArray>
#include <QtGlobal>

#include <filesystem>
#include <memory>

inline std::unique_ptr<TempFolder> TempFolderAsHome() {
    auto temp = std::make_unique<TempFolder>();
    std::filesystem::create_directories(temp->Path() / "home");
    qputenv("HOME", QByteArray::fromStdString(temp->File("home")));
    qunsetenv("XDG_STATE_HOME");
    qunsetenv("XDG_CONFIG_HOME");
    return temp;
}
