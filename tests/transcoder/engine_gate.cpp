// Stands in for an engine in the transcoder's fault tests, under the engine's name in a folder
// put first in PATH: it says that it has arrived, waits until the test opens the gate, and then
// becomes the real engine. It waits a minute at most, and only when one of its arguments is
// CANTOVA_TEST_GATE_WORD (when that is set). With CANTOVA_TEST_GATE_HALVE set it runs the
// engine as its child instead and then cuts the file at descriptor 4 (the transcoder's output)
// to half its size, ending as the engine ended: an engine that lost data without a word. With
// CANTOVA_TEST_GATE_DEAF set it ignores SIGTERM, SIGINT and SIGHUP while it waits, as an engine
// does that is blocked where a signal only sets a flag (ffmpeg opening a FIFO).
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

int runHalvingTheOutput(const char* engine, char** argv) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::execvp(engine, argv);
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    struct stat output {};
    if (::fstat(4, &output) == 0 && ::ftruncate(4, output.st_size / 2) != 0) {
        return 126;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

} // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    const char* gate = std::getenv("CANTOVA_TEST_GATE");
    const char* path = std::getenv("CANTOVA_TEST_GATE_PATH");
    if (gate == nullptr || path == nullptr) {
        return 125;
    }
    const std::string engine = fs::path(argv[0]).filename().string();
    const char* word = std::getenv("CANTOVA_TEST_GATE_WORD");
    bool gated = word == nullptr;
    for (int i = 1; i < argc && !gated; ++i) {
        gated = std::string(argv[i]) == word;
    }
    ::setenv("PATH", path, 1);
    if (!gated) {
        ::execvp(engine.c_str(), argv);
        return 127;
    }
    if (std::getenv("CANTOVA_TEST_GATE_DEAF") != nullptr) {
        for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
            std::signal(signal, SIG_IGN);
        }
    }
    std::ofstream(fs::path(gate) / ("arrived-" + engine + "-" + std::to_string(::getpid())));
    for (int waited = 0; !fs::exists(fs::path(gate) / "open"); waited += 10) {
        if (waited > 60000) {
            return 124;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (std::getenv("CANTOVA_TEST_GATE_HALVE") != nullptr) {
        return runHalvingTheOutput(engine.c_str(), argv);
    }
    ::execvp(engine.c_str(), argv);
    return 127;
}
