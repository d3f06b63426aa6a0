#include "gui/display_check.h"

#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace cantova::ui::qt {

namespace {

bool Set(const char* value) {
    return value != nullptr && *value != '\0';
}

QtMessageHandler gQtHandler = nullptr;

void EndOnFatal(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtFatalMsg) {
        if (gQtHandler != nullptr) {
            gQtHandler(type, context, message);
        }
        return;
    }
    std::fprintf(stderr, "cantova-gui: no display could be used: %s\n%s\n",
                 message.toLocal8Bit().constData(), kWithoutDisplayHint);
    std::_Exit(1);
}

} // namespace

std::optional<std::string> MissingDisplay(const char* platform, const char* x11Display,
                                          const char* waylandDisplay) {
    const std::string_view name = Set(platform) ? platform : "";
    // Only the desktop platforms need a display server; others (offscreen, vnc, ...) need none.
    const bool x11 = name.empty() || name.starts_with("xcb");
    const bool wayland = name.empty() || name.starts_with("wayland");
    if (!x11 && !wayland) {
        return std::nullopt;
    }
    if ((x11 && Set(x11Display)) || (wayland && Set(waylandDisplay))) {
        return std::nullopt;
    }
    const std::string unset = x11 && wayland ? "DISPLAY and WAYLAND_DISPLAY are not set"
                              : x11          ? "DISPLAY is not set"
                                             : "WAYLAND_DISPLAY is not set";
    return "no display was found (" + unset + ").\n" + kWithoutDisplayHint;
}

void EndWithoutAbortWhenNoDisplay() {
    gQtHandler = qInstallMessageHandler(EndOnFatal);
}

void RestoreFatalHandling() {
    qInstallMessageHandler(gQtHandler);
}

} // namespace cantova::ui::qt
