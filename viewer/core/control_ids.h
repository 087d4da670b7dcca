// Identifiers of the viewer's commands and parameter-bar controls.
//
// The numbers are the ones the help topics and the status prompts are keyed
// by; every control of the bar carries its number in the Qt property
// "controlId" (and the object name "control<number>") so that context help
// and tests find it.
#pragma once

namespace viewer {

// Parameter bar controls.
inline constexpr int ID_PICTURE_WIDTH = 1000;        // "(ピクセル）横"
inline constexpr int ID_PICTURE_HEIGHT = 1001;       // "画面サイズ縦"
inline constexpr int ID_LOOP_COUNT = 1002;           // "ループ回数"
inline constexpr int ID_CONVERGENCE_RADIUS = 1003;   // "収束半径"
inline constexpr int ID_NEXT_MAGNIFICATION = 1004;   // "次の倍率"
inline constexpr int ID_DRAW_BUTTON = 1005;          // "描画ｽﾀｰﾄ" / "描画中止"
inline constexpr int ID_PROGRESS_BAR = 1006;
inline constexpr int ID_CENTRE_RE = 1008;            // "中心　X座標"
inline constexpr int ID_CENTRE_IM = 1009;            // "　　　　Y座標"
inline constexpr int ID_CURRENT_MAGNIFICATION = 1013;  // "現倍率 %lf"
inline constexpr int ID_HINT_LINE = 1056;
inline constexpr int ID_MOUSE_POSITION = 1079;
inline constexpr int ID_MOUSE_POSITION_LABEL = 1080;  // "マウス位置"
inline constexpr int ID_POINT_INFO = 1095;
inline constexpr int ID_BACKGROUND = 1166;           // "バックグラウンド"

// The program's own menu commands.
inline constexpr int ID_COMPONENT_INFO = 32771;      // "コンポネント(&M)..."
inline constexpr int ID_FORMULA_INFO = 32772;        // "式の係数(&F)..."
inline constexpr int ID_COLOUR_SETTINGS = 32773;     // "色の設定(&C)..."
inline constexpr int ID_ORBIT_DISPLAY = 32774;       // "軌道表示(&O)..."
inline constexpr int ID_SAVE_FORMULA = 32775;        // "式を保存(&F)..."

// The standard window messages the frame and the views accept through the
// message port besides their own, with the parameters a window gets them
// with: WM_COMMAND (wParam: command number in the low 16 bits) to the frame;
// WM_MOUSEMOVE and WM_LBUTTONUP (wParam: MK_* flags, lParam: y << 16 | x in
// client coordinates, each a signed 16-bit value) to a view.
inline constexpr int WM_COMMAND = 0x0111;
inline constexpr int WM_MOUSEMOVE = 0x0200;
inline constexpr int WM_LBUTTONUP = 0x0202;
inline constexpr int MK_RBUTTON = 0x0002;
inline constexpr int MK_SHIFT = 0x0004;
inline constexpr int MK_CONTROL = 0x0008;
inline constexpr int MK_MBUTTON = 0x0010;
inline constexpr int ID_APP_EXIT = 0xE141;  // "画面の終了(&X)"

// Every edit field of the bar takes at most this many characters.
inline constexpr int FIELD_TEXT_LIMIT = 32;

// Picture size and loop count limits of the bar.
inline constexpr int MAX_PICTURE_SIZE = 1000;
inline constexpr int MAX_LOOP_COUNT = 100000;

// Period of the progress timer (timer 1 of the frame).
inline constexpr int PROGRESS_TIMER_MS = 300;

}  // namespace viewer
