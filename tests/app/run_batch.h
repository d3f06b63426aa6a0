#pragma once

// The batch driver run in the test's own process, its output and error output collected.

#include "app/batch_driver.h"

#include <sstream>
#include <string>
#include <vector>

namespace cantova::test {

struct BatchRun {
    int status;
    std::string out;
    std::string err;
};

inline BatchRun RunBatch(const std::vector<std::string>& arguments) {
    std::ostringstream out, err;
    app::BatchDriver driver(out, err);
    const int status = driver.run(arguments);
    return {status, out.str(), err.str()};
}

} // namespace cantova::test
