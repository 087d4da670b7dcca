// The drawing state of a viewer window. It only moves forward:
// Ready -> Drawing -> Done. A new picture is always a new viewer.
#pragma once

namespace viewer {

enum class ViewerState {
    Ready,    // parameters can be edited, nothing drawn
    Drawing,  // the render thread runs
    Done,     // the picture is finished or was stopped
};

}  // namespace viewer
