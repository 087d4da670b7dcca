// The viewer's colouring and output commands, plugged into its frame:
// colour settings, component and formula information, orbit display,
// formula saving, picture saving and printing.
//
//   mainFrame.setDialogHooks(makeViewerDialogHooks());
//
// The hooks keep the process's printer and print information (shared by the
// print hooks of one set). Each hook reads what it needs from the frame's
// session at the moment it runs and does nothing once the blocks are gone.
//
// Interface thread only.
#pragma once

#include "viewer/colour/colour_context.h"
#include "viewer/colour/picture_info.h"
#include "viewer/colour/picture_printer.h"
#include "viewer/core/viewer_hooks.h"

#include <QString>

class CMainFrame;
class QWidget;

namespace platform {
class MessageBoxes;
}

ViewerDialogHooks makeViewerDialogHooks();

// The pieces the hooks are made of.
colour::PictureInfo pictureInfoOf(CMainFrame& frame);
ColourContext colourContextOf(CMainFrame& frame);
PrintSource printSourceOf(CMainFrame& frame);

// Opens the colour settings of a finished picture: the colour dialog of
// component 0 for a Mandelbrot picture, the component selection for a
// Julia picture.
void openColourSettings(const ColourContext& context, QWidget* parent);

// Writes the width x height corner of the colour map as a .bmp file. On
// failure shows "write error" and returns false; an older file at path
// stays as it was.
bool savePictureFile(const render::ColourMap& colours, int width, int height, const QString& path,
                     platform::MessageBoxes& boxes);
