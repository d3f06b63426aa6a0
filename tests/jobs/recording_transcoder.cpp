// A transcoder stand-in for the tests: records the argument vector it received,
// appends a line to the log named after -logfilea, and sleeps or fails on request.
//
//   CANTOVA_TEST_RECORD       file that gets, per call, the argument count on a line and then
//                             every argument followed by a NUL byte
//   CANTOVA_TEST_SLEEP_MS     milliseconds to wait before ending
//   CANTOVA_TEST_FAIL_OUTPUT  exit with status 3 when the -output argument contains this text

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

} // namespace

int main(int argc, char** argv) {
    std::string log, output;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string(argv[i]) == "-logfilea") {
            log = argv[i + 1];
        } else if (std::string(argv[i]) == "-output") {
            output = argv[i + 1];
        }
    }
    if (const std::string record = Environment("CANTOVA_TEST_RECORD"); !record.empty()) {
        std::ofstream out(record, std::ios::binary | std::ios::app);
        out << argc << '\n';
        for (int i = 0; i < argc; ++i) {
            out << argv[i] << '\0';
        }
    }
    if (!log.empty()) {
        std::ofstream(log, std::ios::app) << "transcoded " << output << '\n';
    }
    if (const std::string sleep = Environment("CANTOVA_TEST_SLEEP_MS"); !sleep.empty()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(sleep.c_str())));
    }
    const std::string fail = Environment("CANTOVA_TEST_FAIL_OUTPUT");
    return !fail.empty() && output.find(fail) != std::string::npos ? 3 : 0;
}
