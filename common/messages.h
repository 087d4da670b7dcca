// Message numbers exchanged between the front end and the viewers, and
// inside a viewer. Parameters are 32-bit ints (wParam, lParam).
#pragma once

namespace common {

inline constexpr int USER_MESSAGE_BASE = 1024;

// viewer frame -> front end: wParam viewer pid, lParam view handle
inline constexpr int MSG_DRAW_STARTED = USER_MESSAGE_BASE + 1;     // 1025
inline constexpr int MSG_DRAW_FINISHED = USER_MESSAGE_BASE + 2;    // 1026
// viewer view -> front end: wParam viewer pid, lParam 'M' or 'J'
inline constexpr int MSG_NEW_PICTURE = USER_MESSAGE_BASE + 3;      // 1027
// viewer frame -> front end: wParam viewer pid, lParam 0
inline constexpr int MSG_VIEWER_CLOSING = USER_MESSAGE_BASE + 4;   // 1028
// analysis thread / engine -> main dialog
inline constexpr int MSG_ANALYSIS_DONE = USER_MESSAGE_BASE + 7;    // 1031
inline constexpr int MSG_CURVE_ANALYSIS = USER_MESSAGE_BASE + 8;   // 1032
// render thread -> view: wParam first << 16 | last column, lParam first << 16 | last row
inline constexpr int MSG_PAINT_COLUMNS = USER_MESSAGE_BASE + 100;  // 1124
// frame -> view: wParam width, lParam height
inline constexpr int MSG_SET_PICTURE_SIZE = USER_MESSAGE_BASE + 101;  // 1125
// colour dialogs -> view
inline constexpr int MSG_RECOLOUR = USER_MESSAGE_BASE + 102;       // 1126

// The standard close request.
inline constexpr int WM_CLOSE = 0x0010;

// Packs two 16-bit halves as the paint message does.
constexpr int packHalves(int high, int low) { return (high << 16) | (low & 0xFFFF); }
constexpr int highHalf(int packed) { return (packed >> 16) & 0xFFFF; }
constexpr int lowHalf(int packed) { return packed & 0xFFFF; }

}  // namespace common
