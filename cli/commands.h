// Subcommands of halvatrine-cli. Each lives in its own file and is listed
// once in the table of main.cpp. A subcommand gets its arguments after the
// subcommand name and returns the process exit code.
#pragma once

#include <string>
#include <vector>

namespace cli {

inline constexpr int EXIT_OK = 0;
inline constexpr int EXIT_REJECTED = 1;  // the formula or the data was refused
inline constexpr int EXIT_USAGE = 2;     // bad command line

using Arguments = std::vector<std::string>;

int runAnalyse(const Arguments& args);
int runRender(const Arguments& args);

// Prints "usage: ..." for one subcommand, or for all, on stderr.
void printUsage(const char* command = nullptr);

}  // namespace cli
