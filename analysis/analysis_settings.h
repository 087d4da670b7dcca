// The settings that steer a dynamical-plane analysis, with their defaults.
//
// The front end keeps these (with the picture size) in its settings store and
// hands a copy to the engine; the engine never reads global state.
#pragma once

namespace analysis {

inline constexpr int DEFAULT_MAX_LOOP = 10000;
inline constexpr int MAX_LOOP_LIMIT = 10000;
inline constexpr double DEFAULT_CONV_EPS = 1e-6;
inline constexpr double DEFAULT_CONT_EPS = 0.05;
inline constexpr double DEFAULT_INOUT_EPS = 0.01;

struct AnalysisSettings {
    int maxLoop = DEFAULT_MAX_LOOP;        // MAX_LOOP: critical orbit length, 0..10000
    int siegelFlag = 0;                    // SIEGELFLG: 1 = closed curves, Siegel disks, Herman rings
    double convEps = DEFAULT_CONV_EPS;     // CONV_EPS: capture distance, > 0
    double contEps = DEFAULT_CONT_EPS;     // CONT_EPS: largest continuous step of a closed curve, > 0
    double inoutEps = DEFAULT_INOUT_EPS;   // INOUT_EPS: return distance of the In/Out test, > 0
};

// True when every value lies in its accepted range (finite and positive
// tolerances, maxLoop within 0..MAX_LOOP_LIMIT, siegelFlag 0 or 1).
bool settingsValid(const AnalysisSettings& s);

}  // namespace analysis
