#include "cli/dynamics_report.h"

#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <string_view>

#include "analysis/rotation_domains.h"
#include "cli/point_output.h"

namespace cli {

namespace {

using analysis::Cycle;
using analysis::JuliaAnalysis;
using analysis::PointKind;

__attribute__((format(printf, 2, 3))) void appendf(std::string& out, const char* format, ...) {
    char buffer[512];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (n > 0) out.append(buffer, std::min<std::size_t>(static_cast<std::size_t>(n), sizeof buffer - 1));
}

const char* kindWord(PointKind kind) {
    switch (kind) {
    case PointKind::SuperAttracting: return "S_ATTRACTING";
    case PointKind::Attracting: return "ATTRACTING";
    case PointKind::Indifferent: return "INDIFFERENT";
    case PointKind::Repelling: return "REPELLING";
    }
    return nullptr;
}

// One listing line of a cycle: fixed points with their point, other
// periods with the period; an unknown kind as "不正種別".
std::string cycleLine(int index, const Cycle& c) {
    std::string line;
    const char* word = kindWord(c.kind);
    if (c.period == 1 && word != nullptr && !c.re.empty())
        appendf(line, "不動点 %s %d  %.16G %.16G", word, index, c.re[0], c.im[0]);
    else if (word != nullptr)
        appendf(line, "周期点 周期%d %s", c.period, word);
    else
        appendf(line, "周期点 周期%d 不正種別", c.period);
    return line;
}

void appendCycles(std::string& out, const JuliaAnalysis& a, int from, int to) {
    const auto& cycles = a.orbits.cycles.cycles;
    for (int i = from; i < to; ++i) {
        const Cycle& c = cycles[i];
        out += cycleLine(i, c) + "\n";
        if (c.toInfinity != 0) out += "  toInfinity 1\n";
        if (c.period != 1)
            for (std::size_t p = 0; p < c.re.size(); ++p) out += "  " + pointLine(c.re[p], c.im[p]) + "\n";
    }
}

const char* inOutText(int inOut) {
    switch (inOut) {
    case analysis::CURVE_NONE: return "None";
    case analysis::CURVE_OUT: return "Out";
    case analysis::CURVE_IN: return "In";
    case analysis::CURVE_IN_AND_OUT: return "In & Out";
    }
    return "?";
}

const char* searchEndText(analysis::PeriodicSearchEnd end) {
    using analysis::PeriodicSearchEnd;
    switch (end) {
    case PeriodicSearchEnd::Completed: return "completed";
    case PeriodicSearchEnd::CapacityFull: return "cycle list full";
    case PeriodicSearchEnd::RootFinderFailed: return "root finder failed";
    case PeriodicSearchEnd::DegreeFailure: return "degenerate period polynomial";
    case PeriodicSearchEnd::Stopped: return "stopped";
    case PeriodicSearchEnd::OutOfMemory: return "out of memory";
    case PeriodicSearchEnd::InvalidMap: return "invalid map";
    }
    return "?";
}

const char* fateText(analysis::OrbitFate fate) {
    using analysis::OrbitFate;
    switch (fate) {
    case OrbitFate::NotAnalysed: return "notAnalysed";
    case OrbitFate::Escaped: return "escaped";
    case OrbitFate::KnownCycle: return "knownCycle";
    case OrbitFate::NewCycle: return "newCycle";
    case OrbitFate::PeriodPassedOver: return "periodPassedOver";
    case OrbitFate::RepellingCycle: return "repellingCycle";
    case OrbitFate::ClosedCurves: return "closedCurves";
    case OrbitFate::Undetermined: return "undetermined";
    }
    return "?";
}

// "--name value" or "--name=value"; `i` is advanced past a separate value.
bool optionValue(const Arguments& args, std::size_t& i, std::string_view name, std::string& value,
                 bool& matched) {
    const std::string& a = args[i];
    matched = false;
    if (a == name) {
        matched = true;
        if (i + 1 >= args.size()) {
            std::fprintf(stderr, "analyse: %s needs a value\n", a.c_str());
            return false;
        }
        value = args[++i];
        return true;
    }
    if (a.size() > name.size() && a.compare(0, name.size(), name) == 0 && a[name.size()] == '=') {
        matched = true;
        value = a.substr(name.size() + 1);
        return true;
    }
    return true;
}

bool parsePositive(const std::string& text, const char* name, double& out) {
    double v = 0;
    const char* end = text.data() + text.size();
    const auto r = std::from_chars(text.data(), end, v);
    if (r.ec != std::errc() || r.ptr != end || !std::isfinite(v) || !(v > 0.0)) {
        std::fprintf(stderr, "analyse: %s must be a positive number, not \"%s\"\n", name, text.c_str());
        return false;
    }
    out = v;
    return true;
}

bool parseLoop(const std::string& text, int& out) {
    int v = 0;
    const char* end = text.data() + text.size();
    const auto r = std::from_chars(text.data(), end, v);
    if (r.ec != std::errc() || r.ptr != end || v < 0 || v > analysis::MAX_LOOP_LIMIT) {
        std::fprintf(stderr, "analyse: --max-loop must be an integer 0..%d, not \"%s\"\n",
                     analysis::MAX_LOOP_LIMIT, text.c_str());
        return false;
    }
    out = v;
    return true;
}

}  // namespace

bool takeDynamicsOptions(Arguments& args, analysis::AnalysisSettings& settings) {
    Arguments rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--siegel") {
            settings.siegelFlag = 1;
            continue;
        }
        std::string value;
        bool matched = false;
        if (!optionValue(args, i, "--max-loop", value, matched)) return false;
        if (matched) {
            if (!parseLoop(value, settings.maxLoop)) return false;
            continue;
        }
        struct Eps {
            const char* name;
            double* target;
        };
        const Eps eps[] = {{"--conv-eps", &settings.convEps},
                           {"--cont-eps", &settings.contEps},
                           {"--inout-eps", &settings.inoutEps}};
        bool used = false;
        for (const Eps& e : eps) {
            if (!optionValue(args, i, e.name, value, matched)) return false;
            if (matched) {
                if (!parsePositive(value, e.name, *e.target)) return false;
                used = true;
                break;
            }
        }
        if (!used) rest.push_back(a);
    }
    args = std::move(rest);
    return true;
}

std::string dynamicsText(const JuliaAnalysis& a, const analysis::AnalysisSettings& s) {
    std::string out;
    appendf(out, "settings: MAX_LOOP %d SIEGELFLG %d CONV_EPS %.16G CONT_EPS %.16G INOUT_EPS %.16G\n", s.maxLoop,
            s.siegelFlag, s.convEps, s.contEps, s.inoutEps);
    const auto& search = a.orbits.periodicSearch;
    appendf(out, "algebraic search: %d periods searched, %s", search.periodsSearched, searchEndText(search.end));
    if (search.end != analysis::PeriodicSearchEnd::Completed && search.lastPeriod > 0)
        appendf(out, " at period %d", search.lastPeriod);
    if (search.firstIteratedPeriod > 0)
        appendf(out, " (roots from period %d on found by iterating the map)", search.firstIteratedPeriod);
    out += "\n";

    const int base = a.orbits.algebraicCycleCount;
    out += "代数的に求めた不動点、周期点\n";
    appendCycles(out, a, 0, base);
    out += "クリティカルポイントの軌道解析結果\n";
    appendCycles(out, a, base, a.orbits.cycles.count());
    for (std::size_t i = 0; i < a.orbits.criticalOrbits.size(); ++i) {
        const analysis::CriticalOrbitResult& r = a.orbits.criticalOrbits[i];
        if (r.fate == analysis::OrbitFate::RepellingCycle)
            appendf(out, "critical point %d lands on a repelling cycle of period %d (no basin)\n",
                    static_cast<int>(i), r.period);
    }

    for (const analysis::CurveSetEntry& e : a.orbits.curves.entries) {
        const int cp = e.criticalPointIndex;
        const double re = cp >= 0 && cp < a.criticalPoints.count ? a.criticalPoints.re[cp] : NAN;
        const double im = cp >= 0 && cp < a.criticalPoints.count ? a.criticalPoints.im[cp] : NAN;
        appendf(out, "閉曲線 閉曲線数%d CriticalPoint 実部%.16G 虚部%.16G\n", static_cast<int>(e.curves.size()), re, im);
        for (const analysis::ClosedCurve& c : e.curves) appendf(out, "  %s\n", inOutText(c.inOut));
    }

    for (const analysis::RotationDomainGroup& g : analysis::groupRotationDomains(a.domains)) {
        const int count = static_cast<int>(g.members.size());
        if (g.kind == common::ComponentKind::SiegelDisk)
            appendf(out, "SiegelDisk 周期%d \n", count);
        else if (g.kind == common::ComponentKind::HermanRing)
            appendf(out, "HermanRing 周期%d \n", count);
        else
            appendf(out, "データ不正 不正種別%d 周期%d\n", static_cast<int>(g.kind), count);
    }
    if (a.stopped) out += "analysis stopped\n";
    if (a.outOfMemory) out += "analysis ran out of memory\n";
    if (a.invalidInput) out += "analysis refused its input\n";
    return out;
}

std::string dynamicsJsonMembers(const JuliaAnalysis& a, const analysis::AnalysisSettings& s) {
    std::string out;
    appendf(out, "  \"settings\": {\"maxLoop\": %d, \"siegelFlag\": %d, \"convEps\": %s, \"contEps\": %s, "
                 "\"inoutEps\": %s},\n",
            s.maxLoop, s.siegelFlag, jsonNumber(s.convEps).c_str(), jsonNumber(s.contEps).c_str(),
            jsonNumber(s.inoutEps).c_str());
    const auto& search = a.orbits.periodicSearch;
    appendf(out, "  \"algebraicSearch\": {\"end\": %s, \"lastPeriod\": %d, \"periodsSearched\": %d, "
                 "\"firstIteratedPeriod\": %d},\n",
            jsonString(searchEndText(search.end)).c_str(), search.lastPeriod, search.periodsSearched,
            search.firstIteratedPeriod);
    appendf(out, "  \"algebraicCycleCount\": %d,\n", a.orbits.algebraicCycleCount);

    out += "  \"cycles\": [";
    const auto& cycles = a.orbits.cycles.cycles;
    for (std::size_t i = 0; i < cycles.size(); ++i) {
        const Cycle& c = cycles[i];
        const char* word = kindWord(c.kind);
        out += i == 0 ? "\n" : ",\n";
        appendf(out, "    {\"index\": %d, \"period\": %d, \"kind\": %s, \"kindCode\": %d, \"toInfinity\": %d, "
                     "\"algebraic\": %s, \"points\": [",
                static_cast<int>(i), c.period, jsonString(word ? word : "不正種別").c_str(),
                static_cast<int>(c.kind), c.toInfinity,
                static_cast<int>(i) < a.orbits.algebraicCycleCount ? "true" : "false");
        for (std::size_t p = 0; p < c.re.size(); ++p) out += (p ? ", " : "") + jsonPoint(c.re[p], c.im[p]);
        out += "]}";
    }
    out += cycles.empty() ? "],\n" : "\n  ],\n";

    out += "  \"criticalOrbits\": [";
    for (std::size_t i = 0; i < a.orbits.criticalOrbits.size(); ++i) {
        const analysis::CriticalOrbitResult& r = a.orbits.criticalOrbits[i];
        out += i == 0 ? "\n" : ",\n";
        appendf(out, "    {\"criticalPoint\": %d, \"fate\": %s, \"period\": %d, \"cycle\": %d, \"curveEntry\": %d}",
                static_cast<int>(i), jsonString(fateText(r.fate)).c_str(), r.period, r.cycleIndex, r.curveEntry);
    }
    out += a.orbits.criticalOrbits.empty() ? "],\n" : "\n  ],\n";

    out += "  \"curves\": [";
    const auto& entries = a.orbits.curves.entries;
    for (std::size_t e = 0; e < entries.size(); ++e) {
        const int cp = entries[e].criticalPointIndex;
        const bool known = cp >= 0 && cp < a.criticalPoints.count;
        out += e == 0 ? "\n" : ",\n";
        appendf(out, "    {\"criticalPointIndex\": %d, \"criticalPoint\": %s, \"curves\": [", cp,
                known ? jsonPoint(a.criticalPoints.re[cp], a.criticalPoints.im[cp]).c_str() : "null");
        for (std::size_t k = 0; k < entries[e].curves.size(); ++k) {
            const analysis::ClosedCurve& c = entries[e].curves[k];
            const analysis::Octagon& o = c.octagon;
            out += k == 0 ? "\n" : ",\n";
            appendf(out, "      {\"inOut\": %d, \"inOutText\": %s, \"points\": %d, \"outerDisks\": %d, "
                         "\"innerDisks\": %d, \"octagon\": [",
                    c.inOut, jsonString(inOutText(c.inOut)).c_str(), c.pointCount(),
                    static_cast<int>(c.outerDisks.size()), static_cast<int>(c.innerDisks.size()));
            const double bounds[8] = {o.maxRe, o.minRe, o.maxIm, o.minIm, o.maxSum, o.minSum, o.maxDiff, o.minDiff};
            for (int b = 0; b < 8; ++b) out += (b ? ", " : "") + jsonNumber(bounds[b]);
            out += "]}";
        }
        out += entries[e].curves.empty() ? "]}" : "\n    ]}";
    }
    out += entries.empty() ? "],\n" : "\n  ],\n";

    out += "  \"siegelDisks\": [";
    for (std::size_t i = 0; i < a.domains.siegelDisks.size(); ++i)
        appendf(out, "%s{\"entry\": %d, \"curve\": %d}", i ? ", " : "", a.domains.siegelDisks[i].entry,
                a.domains.siegelDisks[i].curve);
    out += "],\n  \"hermanRings\": [";
    for (std::size_t i = 0; i < a.domains.hermanRings.size(); ++i) {
        const analysis::HermanRing& h = a.domains.hermanRings[i];
        appendf(out, "%s{\"inner\": {\"entry\": %d, \"curve\": %d}, \"outer\": {\"entry\": %d, \"curve\": %d}}",
                i ? ", " : "", h.innerEntry, h.innerCurve, h.outerEntry, h.outerCurve);
    }
    out += "],\n  \"domainGroups\": [";
    const auto groups = analysis::groupRotationDomains(a.domains);
    for (std::size_t i = 0; i < groups.size(); ++i) {
        const bool siegel = groups[i].kind == common::ComponentKind::SiegelDisk;
        appendf(out, "%s{\"kind\": %s, \"period\": %d, \"members\": [", i ? ", " : "",
                jsonString(siegel ? "SiegelDisk" : "HermanRing").c_str(), static_cast<int>(groups[i].members.size()));
        for (std::size_t m = 0; m < groups[i].members.size(); ++m)
            appendf(out, "%s%d", m ? ", " : "", groups[i].members[m]);
        out += "]}";
    }
    out += "],\n";
    appendf(out, "  \"stopped\": %s,\n  \"outOfMemory\": %s\n", a.stopped ? "true" : "false",
            a.outOfMemory ? "true" : "false");
    return out;
}

}  // namespace cli
