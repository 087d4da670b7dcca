#include "analysis/analysis_settings.h"

#include <cmath>

namespace analysis {

bool settingsValid(const AnalysisSettings& s) {
    auto positive = [](double v) { return std::isfinite(v) && v > 0.0; };
    return s.maxLoop >= 0 && s.maxLoop <= MAX_LOOP_LIMIT && (s.siegelFlag == 0 || s.siegelFlag == 1) &&
           positive(s.convEps) && positive(s.contEps) && positive(s.inoutEps);
}

}  // namespace analysis
