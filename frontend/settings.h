// The seven settings of the front end: values, defaults, accepted ranges and
// their text forms in the settings store.
//
// Text forms: integers as "%d"; doubles as "%.16lf" with the trailing zeros
// after the point removed, and the point with them when nothing is left
// (1e-6 -> "0.000001", 0.05 -> "0.05", 1.0 -> "1"). Texts are read in the C
// numeric conventions whatever the locale; a value that is missing, does not
// read, is not finite or lies outside its range loads as its default.
//
// Thread-safety: plain data and pure functions. The job copies the values it
// needs before its thread starts.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace frontend {

inline constexpr int DEFAULT_MAX_LOOP = 10000;
inline constexpr int MAX_LOOP_LIMIT = 10000;
inline constexpr int DEFAULT_SIEGEL_FLAG = 0;
inline constexpr double DEFAULT_CONV_EPS = 1e-6;
inline constexpr double DEFAULT_CONT_EPS = 0.05;
inline constexpr double DEFAULT_INOUT_EPS = 0.01;
inline constexpr int DEFAULT_PICTURE_SIZE = 600;
inline constexpr int PICTURE_SIZE_MIN = 1;
inline constexpr int PICTURE_SIZE_MAX = 1000;

// Names in the store, in load and save order.
inline constexpr const char* SETTING_MAX_LOOP = "MAX_LOOP";
inline constexpr const char* SETTING_SIEGELFLG = "SIEGELFLG";
inline constexpr const char* SETTING_CONV_EPS = "CONV_EPS";
inline constexpr const char* SETTING_CONT_EPS = "CONT_EPS";
inline constexpr const char* SETTING_INOUT_EPS = "INOUT_EPS";
inline constexpr const char* SETTING_SIZEX = "SIZEX";
inline constexpr const char* SETTING_SIZEY = "SIZEY";
inline constexpr int SETTING_COUNT = 7;

struct Settings {
    int maxLoop = DEFAULT_MAX_LOOP;        // 0..10000: critical orbit budget
    int siegelFlag = DEFAULT_SIEGEL_FLAG;  // 0 or 1: closed curves, Siegel disks, Herman rings
    double convEps = DEFAULT_CONV_EPS;     // > 0: capture distance, each picture's convergence radius
    double contEps = DEFAULT_CONT_EPS;     // > 0: largest continuous step of a closed curve
    double inoutEps = DEFAULT_INOUT_EPS;   // > 0: distance of the In/Out decision
    int sizeX = DEFAULT_PICTURE_SIZE;      // 1..1000: width of the next picture
    int sizeY = DEFAULT_PICTURE_SIZE;      // 1..1000: height of the next picture

    bool operator==(const Settings&) const = default;
};

struct SettingText {
    const char* name;
    std::string text;
};

// The seven texts in store order.
std::array<SettingText, SETTING_COUNT> formatSettings(const Settings& settings);

// Reads each value through lookup (nullopt: missing) and falls back to the
// default for anything missing, unreadable or out of range.
Settings parseSettings(const std::function<std::optional<std::string>(const char* name)>& lookup);

// Text forms used by the settings dialog.
std::string formatSettingInt(int value);           // "%d"
std::string formatSettingDouble(double value);     // "%.16lf", trimmed

// Keystroke filter of the loop count field: every character that is not a
// digit is removed; a value above 10000 becomes "10000". *caret (a byte
// position in text) is moved to stay after the same characters.
std::string filterLoopCountText(std::string_view text, int* caret = nullptr);

// OK of the settings dialog for one tolerance field. A field that still
// shows the text the dialog put there gives the value that text stands for
// (shownValue: the setting at opening, the default after "ディフォルト"), so a
// value shown as "0" is not stored back as 0. Otherwise the text is read;
// the previous value is kept when it does not read as a number, is not > 0,
// or its stored text would not read back as > 0.
double acceptTolerance(std::string_view text, std::string_view shownText, double shownValue,
                       double previous);

// The same for the loop count field; a value read is clamped to 0..10000.
int acceptLoopCount(std::string_view text, std::string_view shownText, int shownValue, int previous);

}  // namespace frontend
