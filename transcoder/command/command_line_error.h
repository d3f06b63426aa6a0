#pragma once

#include <stdexcept>

namespace cantova {

// A command line the transcoder does not accept; the message names the offending word.
class CommandLineError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace cantova
