// The component lines of a Julia picture as the components information lists
// them: the point at infinity first (when it is an attracting component),
// then one line per component entry in table order. Lines carry no line end;
// the caller joins them with its own ("\r\n" in the dialog).
//
// Pure and thread-safe.
#pragma once

#include "common/block_layout.h"
#include "common/block_reader.h"

#include <optional>
#include <string>
#include <vector>

namespace common {

// "無限遠 S_ATTRACTING" / "無限遠 ATTRACTING" / "無限遠 INDIFFERENT", or
// nothing when infinity is not an attracting or indifferent fixed point of the
// map (numerator degree at most the denominator degree, a repelling
// infinity, or a form other than 1 and 2). Degrees are clamped as the reader
// does.
std::optional<std::string> infinityListingLine(const RationalMap& map);

// One entry: "不動点 ATTRACTING", "周期点 周期3 S_ATTRACTING",
// "周期点 周期3 不正種別", "SiegelDisk 周期2", "HermanRing 周期1", or
// "データ不正 不正種別%d 周期%d" for an unknown kind or an entry whose data
// do not lie inside the block.
std::string componentListingLine(const ComponentView& component);

// The infinity line (if any) followed by every entry's line.
std::vector<std::string> componentListing(const AnalysisBlockView& block);

// "S_ATTRACTING", "ATTRACTING", "INDIFFERENT", "REPELLING"; nullptr otherwise.
const char* pointKindWord(int pointKind);

}  // namespace common
