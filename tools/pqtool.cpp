// pqtool: the command-line front end of the formula engine and the data files.

#include <cstdio>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

#include "tools/commands.h"

namespace pq::tool {

namespace {

constexpr const char* kUsage =
    "usage: pqtool COMMAND [ARGS]\n"
    "\n"
    "commands:\n"
    "  eval [--angle rad|deg|gra] [--set NAME=EXPR]... [--define HEADER=BODY]... [EXPR]...\n"
    "      Evaluates each EXPR (or each line of standard input when none is given)\n"
    "      and prints its value, or Error. Options apply in the order given, before\n"
    "      the expressions; \"--\" ends the options.\n"
    "\n"
    "exit status: 0 success, 1 some evaluation failed, 2 bad usage\n";

} // namespace

int usageError(std::string_view message) {
    if (!message.empty())
        std::fprintf(stderr, "pqtool: %.*s\n", static_cast<int>(message.size()), message.data());
    std::fputs(kUsage, stderr);
    return kExitUsage;
}

} // namespace pq::tool

int main(int argc, char** argv) {
    using namespace pq::tool;
    std::span<char* const> args(argv, static_cast<size_t>(argc));
    if (args.size() < 2) return usageError("no command given");
    std::string_view command = args[1];
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (command == "eval") return runEval(args.subspan(2));
    return usageError("unknown command: " + std::string(command));
}
