// Runs the built halvatrine-cli (HALVATRINE_CLI, set by the build) through the shell. The arguments
// are shell words, so quote formulas: "analyse 'z^2-1'".
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <complex>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace cli_test {

struct CliRun { int exitCode = -1; std::string out; };  // exitCode -1: not started, or did not exit

// Its stdout, and its messages where withMessages says so; environment: shell text before it ("ulimit -f 1;").
inline CliRun runCli(const std::string& args, const std::string& environment = {}, bool withMessages = false) {
    CliRun r;
    const std::string command = (environment.empty() ? "" : environment + " ") + HALVATRINE_CLI + " " + args +
                                (withMessages ? " 2>&1" : " 2>/dev/null");
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return r;
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) r.out.append(buffer, got);
    const int status = pclose(pipe);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

}  // namespace cli_test
