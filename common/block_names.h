// Names of the shared blocks, as the front end creates them and the viewer
// command line passes them.
#pragma once

#include <cstdint>
#include <string>

namespace common {

inline std::string frontEndBlockName(std::uint32_t frontEndPid) {
    return "FData" + std::to_string(frontEndPid);
}

inline std::string analysisBlockName(int slot, std::uint32_t frontEndPid) {
    return "PData" + std::to_string(slot) + "_" + std::to_string(frontEndPid);
}

}  // namespace common
