#pragma once

#include "CliCommands.h"

#include <sstream>
#include <string>
#include <vector>

namespace kv::test {

// One run of the command line: its exit status and what it printed.
struct CliRun {
    int status = 0;
    std::string out;
    std::string err;
};

inline CliRun RunCliWords(const std::vector<std::string>& words) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunCli(words, out, err);
    return {status, out.str(), err.str()};
}

} // namespace kv::test
