// halvatrine-cli: the analysis engine from the command line.
// Dispatches on the subcommand; each subcommand is one entry of kCommands.
#include <cstdio>
#include <cstring>

#include "cli/commands.h"

namespace cli {

namespace {

struct Command {
    const char* name;
    const char* usage;
    int (*run)(const Arguments&);
};

const Command kCommands[] = {
    {"analyse",
     "analyse FORMULA [--json] [--block FILE] [--max-loop N] [--conv-eps X] [--cont-eps X] [--inout-eps X]\n"
     "      [--siegel]   critical points, infinityIsCritical, fixed points, cycles, closed curves, Siegel disks,\n"
     "      Herman rings, and the picture's components; --block writes the Julia picture's block to FILE",
     runAnalyse},
    {"render",
     "render FORMULA --julia|--mandelbrot -o FILE.png|FILE.bmp [--size WxH] [--loop N] [--radius R]\n"
     "      [--centre RE,IM] [--magnification M] [--critical all|I,J,...] [--max-loop N] [--siegel]\n"
     "      [--cont-eps X] [--inout-eps X] [--quiet]   a picture (up to 20000x20000) rendered to PNG or\n"
     "      a 24-bit bitmap; HV_RENDER_THREADS=N sets the worker threads (default: every core)",
     runRender},
};

}  // namespace

void printUsage(const char* command) {
    std::fprintf(stderr, "usage:\n");
    for (const Command& c : kCommands)
        if (!command || std::strcmp(command, c.name) == 0) std::fprintf(stderr, "  halvatrine-cli %s\n", c.usage);
    if (!command)
        std::fprintf(stderr,
                     "FORMULA: a rational expression in z with complex coefficients, e.g. \"z^2-1\",\n"
                     "  \"(z^2+1)/(z^2-0.25)\", \"(0.3+0.5i)*z^3 + z\"; powers 0..10, degrees <= 10.\n");
}

}  // namespace cli

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        cli::printUsage();
        return argc < 2 ? cli::EXIT_USAGE : cli::EXIT_OK;
    }
    const cli::Arguments args(argv + 2, argv + argc);
    for (const auto& command : cli::kCommands)
        if (std::strcmp(argv[1], command.name) == 0) return command.run(args);
    std::fprintf(stderr, "unknown command: %s\n", argv[1]);
    cli::printUsage();
    return cli::EXIT_USAGE;
}
