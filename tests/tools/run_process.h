#pragma once

#include <string>
#include <vector>

namespace pq::test {

struct ProcessResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs a program with arguments, feeding `input` on its standard input, and
// collects both output streams and the exit status.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input = {});

} // namespace pq::test
