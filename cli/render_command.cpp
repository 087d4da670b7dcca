// halvatrine-cli render FORMULA --julia|--mandelbrot -o FILE.png|FILE.bmp
// [options]: analyses the map, renders the picture with the viewer's engine
// and saves it as PNG or as a 24-bit bitmap, by the file's extension;
// prints the picture's component statistics. Bitmaps of up to 1000 x 1000
// are the viewer's own (with its colour table); larger pictures, up to
// 20000 x 20000, render in tiles straight into the file.
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/batch_render.h"
#include "cli/commands.h"
#include "cli/formula_argument.h"
#include "common/component_listing.h"
#include "common/number_text.h"

namespace cli {

namespace {

constexpr int PROGRESS_BAR_WIDTH = 40;

struct RenderOptions {
    std::string formula;
    std::string output;
    bool kindGiven = false;
    bool quiet = false;
    BatchRenderRequest request;
};

// The whole text must be the number: "12a" or "1e3" is no whole number.
bool readInt(std::string_view name, const std::string& text, int& out) {
    const bool digitsOnly = text.find_first_not_of("0123456789", text.find_first_of("+-") == 0 ? 1 : 0) == std::string::npos;
    const auto v = common::parseIntSaturating(text);
    if (!v || !digitsOnly || *v < INT32_MIN || *v > INT32_MAX) {
        std::fprintf(stderr, "render: %.*s needs a whole number, not \"%s\"\n", static_cast<int>(name.size()),
                     name.data(), text.c_str());
        return false;
    }
    out = static_cast<int>(*v);
    return true;
}

bool readDouble(std::string_view name, const std::string& text, double& out) {
    const auto v = common::parseDouble(text);
    double ignored = 0;
    const char* end = text.data() + text.size();
    const char* start = text.data() + (text.rfind('+', 0) == 0 ? 1 : 0);
    if (!v || std::from_chars(start, end, ignored).ptr != end) {
        std::fprintf(stderr, "render: %.*s needs a number, not \"%s\"\n", static_cast<int>(name.size()),
                     name.data(), text.c_str());
        return false;
    }
    out = *v;
    return true;
}

// "RE,IM" or "WxH".
bool splitPair(const std::string& text, char separator, std::string& first, std::string& second) {
    const auto at = text.find(separator);
    if (at == std::string::npos) return false;
    first = text.substr(0, at);
    second = text.substr(at + 1);
    return true;
}

bool readCriticalList(const std::string& text, std::vector<int>& out) {
    out.clear();
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(',', start), text.size());
        int index = 0;
        if (!readInt("--critical", text.substr(start, end - start), index)) return false;
        out.push_back(index);
        start = end + 1;
    }
    return !out.empty();
}

bool readOptions(const Arguments& args, RenderOptions& o) {
    BatchRenderRequest& r = o.request;
    std::optional<std::string> formula;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "render: %s needs a value\n", a.c_str());
                return false;
            }
            out = args[++i];
            return true;
        };
        std::string v, first, second;
        if (a == "--julia" || a == "--mandelbrot") {
            const char kind = a == "--julia" ? 'J' : 'M';
            if (o.kindGiven && r.kind != kind) {
                std::fprintf(stderr, "render: give either --julia or --mandelbrot\n");
                return false;
            }
            r.kind = kind;
            o.kindGiven = true;
        } else if (a == "-o" || a == "--output") {
            if (!value(o.output)) return false;
        } else if (a == "--size") {
            if (!value(v)) return false;
            if (!splitPair(v, 'x', first, second)) {
                std::fprintf(stderr, "render: --size needs WIDTHxHEIGHT, not \"%s\"\n", v.c_str());
                return false;
            }
            if (!readInt("--size", first, r.width) || !readInt("--size", second, r.height)) return false;
        } else if (a == "--width") {
            if (!value(v) || !readInt(a, v, r.width)) return false;
        } else if (a == "--height") {
            if (!value(v) || !readInt(a, v, r.height)) return false;
        } else if (a == "--loop") {
            int n = 0;
            if (!value(v) || !readInt(a, v, n)) return false;
            r.loopCount = n;
        } else if (a == "--radius") {
            if (!value(v) || !readDouble(a, v, r.convergenceRadius)) return false;
        } else if (a == "--centre" || a == "--center") {
            double re = 0, im = 0;
            if (!value(v)) return false;
            if (!splitPair(v, ',', first, second)) {
                std::fprintf(stderr, "render: --centre needs RE,IM, not \"%s\"\n", v.c_str());
                return false;
            }
            if (!readDouble(a, first, re) || !readDouble(a, second, im)) return false;
            r.centreRe = re;
            r.centreIm = im;
        } else if (a == "--magnification") {
            double m = 0;
            if (!value(v) || !readDouble(a, v, m)) return false;
            r.magnification = m;
        } else if (a == "--critical") {
            if (!value(v)) return false;
            if (v != "all") {
                std::vector<int> list;
                if (!readCriticalList(v, list)) return false;
                r.criticalSelection = list;
            }
        } else if (a == "--max-loop") {
            if (!value(v) || !readInt(a, v, r.settings.maxLoop)) return false;
        } else if (a == "--siegel") {
            r.settings.siegelFlag = 1;
        } else if (a == "--cont-eps") {
            if (!value(v) || !readDouble(a, v, r.settings.contEps)) return false;
        } else if (a == "--inout-eps") {
            if (!value(v) || !readDouble(a, v, r.settings.inoutEps)) return false;
        } else if (a == "--quiet") {
            o.quiet = true;
        } else if (a.size() > 2 && a[0] == '-' && a[1] == '-') {
            std::fprintf(stderr, "render: unknown option %s\n", a.c_str());
            return false;
        } else if (!takeFormulaArgument("render", a, formula)) {
            return false;
        }
    }
    if (!formula) std::fprintf(stderr, "render: missing FORMULA\n");
    else if (!o.kindGiven) std::fprintf(stderr, "render: give --julia or --mandelbrot\n");
    else if (o.output.empty()) std::fprintf(stderr, "render: give the picture file with -o FILE.png or FILE.bmp\n");
    else if (!imageFormatForPath(o.output))
        std::fprintf(stderr, "render: %s: the picture file's name must end in %s\n", o.output.c_str(),
                     IMAGE_EXTENSIONS_TEXT);
    if (formula) o.formula = *formula;
    return formula && o.kindGiven && !o.output.empty() && imageFormatForPath(o.output);
}

// A bar on the terminal, redrawn when the percentage changes.
class ProgressBar {
public:
    void update(int done, int total) {
        const int percent = total > 0 ? static_cast<int>(100LL * done / total) : 100;
        if (percent == shown_) return;
        shown_ = percent;
        const int filled = percent * PROGRESS_BAR_WIDTH / 100;
        std::fprintf(stderr, "\r[%s%s] %3d%%", std::string(static_cast<std::size_t>(filled), '#').c_str(),
                     std::string(static_cast<std::size_t>(PROGRESS_BAR_WIDTH - filled), ' ').c_str(), percent);
        std::fflush(stderr);
    }
    void finish() {
        if (shown_ >= 0) std::fprintf(stderr, "\n");
    }

private:
    int shown_ = -1;
};

std::string countRange(const colour::ComponentStats& s) {
    if (s.pixelCount == 0) return "-";
    return std::to_string(s.lowCount) + ".." + std::to_string(s.highCount);
}

void printStatistics(const BatchPicture& picture, const std::string& output, std::optional<std::size_t> colours) {
    const common::ViewRecord& v = picture.viewRecord();
    const bool julia = picture.block().pictureKind == 'J';
    std::printf("picture %c, %d x %d pixels, loop count %d, convergence radius %s\n", julia ? 'J' : 'M',
                v.pictureWidth, v.pictureHeight, v.loopCount, common::formatG16(v.convergenceRadius).c_str());
    std::printf("centre %s %s, magnification %s\n", common::formatG16(v.centreRe).c_str(),
                common::formatG16(v.centreIm).c_str(), common::formatG16(v.magnification).c_str());
    const colour::RenderStatistics& st = picture.statistics();
    std::printf("component statistics:\n  code     pixels  counts        component\n");
    std::printf("  %4d  %9d  %-12s  %s\n", 0, st.stats[0].pixelCount, countRange(st.stats[0]).c_str(),
                julia ? "無限遠" : "(every pixel)");
    for (int k = 1; k <= picture.componentCount(); ++k) {
        const std::string label =
            common::componentListingLine(picture.block().components[static_cast<std::size_t>(k - 1)]);
        const colour::ComponentStats& s = st.stats[static_cast<std::size_t>(k)];
        std::printf("  %4d  %9d  %-12s  %s\n", k, s.pixelCount, countRange(s).c_str(), label.c_str());
    }
    if (julia) std::printf("  %4s  %9d  %-12s  %s\n", "", st.unknownPixelCount, "", "不明");
    if (colours)
        std::printf("written %s (%zu colours)\n", output.c_str(), *colours);
    else
        std::printf("written %s\n", output.c_str());
}

}  // namespace

int runRender(const Arguments& args) {
    RenderOptions options;
    if (!readOptions(args, options)) {
        printUsage("render");
        return EXIT_USAGE;
    }
    const std::optional<common::RationalMap> map = parseFormulaArgument("render", options.formula);
    if (!map) return EXIT_REJECTED;
    options.request.map = *map;

    BatchPicture picture;
    if (const auto problem = picture.prepare(options.request)) {
        std::fprintf(stderr, "render: %s\n", problem->c_str());
        return EXIT_REJECTED;
    }

    ProgressBar bar;
    const bool showProgress = !options.quiet && isatty(STDERR_FILENO) == 1;
    std::function<void(int, int)> progress;
    if (showProgress) progress = [&bar](int done, int total) { bar.update(done, total); };

    const ImageFormat format = *imageFormatForPath(options.output);
    const bool viewerBitmap = format == ImageFormat::Bmp && picture.width() <= render::MAP_SIZE &&
                              picture.height() <= render::MAP_SIZE;
    std::optional<std::size_t> colours;
    std::optional<std::string> failed;
    if (viewerBitmap) {
        picture.render(progress);
        const colour::CDib dib = picture.bitmap();
        failed = dib.writeBmp(options.output);
        colours = dib.colourTable().size();
    } else {
        failed = picture.renderToFile(options.output, format, progress);
    }
    bar.finish();
    if (failed) {
        std::fprintf(stderr, "render: %s: %s\n", options.output.c_str(), failed->c_str());
        return EXIT_REJECTED;
    }
    printStatistics(picture, options.output, colours);
    return EXIT_OK;
}

}  // namespace cli
