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
// collects both output streams and the exit status. A program that runs for
// more than 30 seconds is stopped (exit status 128 + SIGALRM). With a
// fileSizeLimit the program cannot write files larger than that many bytes,
// as on a full disk.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input = {}, long fileSizeLimit = 0);

} // namespace pq::test
