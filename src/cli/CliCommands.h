#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kv {

// Runs kestrelvane-cli with the words after the program name; returns the
// exit status (0 success, 1 the operation failed, 2 bad command line).
int RunCli(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);

} // namespace kv
