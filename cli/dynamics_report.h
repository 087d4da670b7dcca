// The dynamical-plane report of `halvatrine-cli analyse`: the critical and
// fixed points, then the cycles found algebraically, the results of the
// critical orbit analysis, the closed curves per critical point and the
// rotation domains, in the listing formats of the analysis
// ("不動点 S_ATTRACTING %d  %.16G %.16G", "周期点 周期%d ATTRACTING",
// "閉曲線 閉曲線数%d CriticalPoint 実部%.16G 虚部%.16G", "  In & Out",
// "SiegelDisk 周期%d ", "HermanRing 周期%d "). --json gives the same data
// as one JSON object.
//
// Options: --max-loop N (0..10000), --conv-eps X, --cont-eps X,
// --inout-eps X (finite, > 0), --siegel (SIEGELFLG 1); each also as
// --name=value. Defaults are the settings' defaults.
#pragma once

#include <string>

#include "analysis/analysis_settings.h"
#include "analysis/julia_analysis.h"
#include "cli/commands.h"

namespace cli {

// Takes the dynamics options out of args and stores them in settings.
// Returns false after printing a message when a value is missing or out of
// range.
bool takeDynamicsOptions(Arguments& args, analysis::AnalysisSettings& settings);

// The report sections after the fixed points.
std::string dynamicsText(const analysis::JuliaAnalysis& a, const analysis::AnalysisSettings& s);

// The same data as JSON members ("settings": ..., "cycles": ..., ...),
// without the enclosing braces, each line indented by two blanks.
std::string dynamicsJsonMembers(const analysis::JuliaAnalysis& a, const analysis::AnalysisSettings& s);

}  // namespace cli
