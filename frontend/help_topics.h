// Help topic numbers of the front end's windows (anchors "topicNNNN" of the
// bundled help document).
#pragma once

namespace frontend {

inline constexpr int HELP_FORMULA_ENTRY = 9030;        // main dialog: formula, Execute, close all
inline constexpr int HELP_PICTURE_MODES = 9031;        // Mandelbrot and Julia pictures
inline constexpr int HELP_SETTINGS = 9025;             // "パラメータ設定"
inline constexpr int HELP_SAMPLE_LOAD = 9026;          // "Halvatrine　サンプル"
inline constexpr int HELP_SAMPLE_SAVE = 9027;          // "式の保存"
inline constexpr int HELP_SAMPLE_DELETE = 9028;        // "式の削除"
inline constexpr int HELP_CRITICAL_POINTS = 9029;      // "クリティカルポイントの選択"

}  // namespace frontend
