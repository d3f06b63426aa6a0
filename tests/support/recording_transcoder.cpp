// A transcoder stand-in for the tests: records the argument vector it received,
// appends a line to the log named after -logfilea, and sleeps or fails on request.
//
//   CANTOVA_TEST_RECORD       file that gets, per call, the argument count on a line and then
//                             every argument followed by a NUL byte
//   CANTOVA_TEST_SLEEP_MS     milliseconds to wait before ending
//   CANTOVA_TEST_PROGRESS     N: prints "progress 0%" at once and then N more progress lines,
//                             evenly over the wait, the last one "progress 100%"
//   CANTOVA_TEST_IGNORE_TERM  when set, SIGTERM does not end the program
//   CANTOVA_TEST_FAIL_OUTPUT  exit with status 3 when the -output argument contains this text,
//                             after writing "Cantova: failed: no luck with OUTPUT" to the error
//                             output
//   CANTOVA_TEST_CRASH        end by SIGSEGV instead of exiting
//   CANTOVA_TEST_FLOOD        N: writes N bytes of "x" without a line break first
//   CANTOVA_TEST_LINGER_MS    leaves a process behind that holds the standard output and the
//                             error output open this many milliseconds after the end

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// Waits the given time, reporting progress in the given number of steps.
void Work(std::chrono::milliseconds duration, int progressSteps) {
    if (progressSteps <= 0) {
        std::this_thread::sleep_for(duration);
        return;
    }
    std::cout << "progress 0%" << std::endl;
    for (int step = 1; step <= progressSteps; ++step) {
        std::this_thread::sleep_for(duration / progressSteps);
        std::cout << "progress " << step * 100 / progressSteps << "%" << std::endl;
    }
}

} // namespace

int main(int argc, char** argv) {
    if (!Environment("CANTOVA_TEST_IGNORE_TERM").empty()) {
        std::signal(SIGTERM, SIG_IGN);
    }
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
    if (const long flood = std::atol(Environment("CANTOVA_TEST_FLOOD").c_str()); flood > 0) {
        const std::string block(1 << 16, 'x');
        for (long left = flood; left > 0; left -= static_cast<long>(block.size())) {
            std::cout.write(block.data(), std::min<long>(left, static_cast<long>(block.size())));
        }
        std::cout << std::endl;
    }
    Work(std::chrono::milliseconds(std::atoi(Environment("CANTOVA_TEST_SLEEP_MS").c_str())),
         std::atoi(Environment("CANTOVA_TEST_PROGRESS").c_str()));
    if (const int linger = std::atoi(Environment("CANTOVA_TEST_LINGER_MS").c_str()); linger > 0) {
        std::cout.flush();
        if (fork() == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(linger));
            _exit(0);
        }
    }
    if (!Environment("CANTOVA_TEST_CRASH").empty()) {
        std::cout.flush();
        std::signal(SIGSEGV, SIG_DFL);
        std::raise(SIGSEGV);
    }
    const std::string fail = Environment("CANTOVA_TEST_FAIL_OUTPUT");
    if (!fail.empty() && output.find(fail) != std::string::npos) {
        std::cerr << "Cantova: failed: no luck with " << output << std::endl;
        return 3;
    }
    return 0;
}
