// What the colour dialogs of a viewer work on: the colour table, the unknown
// colour in the block's current view, the finished picture's maps and
// statistics, the component table, the message boxes and the way to ask the
// view to recolour.
//
// Pointers refer to objects of the viewer session that outlive any dialog.
// The dialogs are only opened on a finished picture, so no render reads or
// writes these while they are edited.
#pragma once

#include "common/block_reader.h"
#include "viewer/colour/colour_model.h"
#include "viewer/maps/pixel_maps.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace platform {
class MessageBoxes;
}

struct ColourContext {
    colour::ColourTable* table = nullptr;
    std::int32_t* unknownColour = nullptr;          // the current view record's field
    const render::PixelMaps* maps = nullptr;
    int width = 0;                                  // the picture on screen
    int height = 0;
    std::vector<common::ComponentView> components;  // codes 1..K
    const colour::RenderStatistics* statistics = nullptr;
    bool julia = false;
    platform::MessageBoxes* boxes = nullptr;
    std::function<void()> postRecolour;             // MSG_RECOLOUR to the view
};
