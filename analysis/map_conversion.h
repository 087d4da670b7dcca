// Conversion of the block form of a map (common/block_layout.h) into the
// engine form (polynomial.h).
//
// The block may come from another process and is not trusted: degrees
// outside -1..10 are clamped into that range, and a degree of -1 (all
// coefficients zero) becomes the degree-0 polynomial 0. The form is copied
// as it stands; the engine treats forms other than 1 and 2 as empty maps.
//
// Thread-safety: pure function.
#pragma once

#include "analysis/polynomial.h"
#include "common/block_layout.h"

namespace analysis {

RationalMap toEngineMap(const common::RationalMap& blockMap);

}  // namespace analysis
