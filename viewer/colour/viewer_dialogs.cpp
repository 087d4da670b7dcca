#include "viewer/colour/viewer_dialogs.h"

#include "common/messages.h"
#include "platform/message_box.h"
#include "platform/message_port.h"
#include "viewer/colour/bitmap.h"
#include "viewer/colour/colour_dialog.h"
#include "viewer/colour/component_info_dialog.h"
#include "viewer/colour/component_select_dialog.h"
#include "viewer/colour/formula_dialog.h"
#include "viewer/colour/orbit_dialog.h"
#include "viewer/colour/save_formula_dialog.h"
#include "viewer/core/main_frame.h"
#include "viewer/core/torvel_doc.h"

#include <QFile>
#include <memory>

colour::PictureInfo pictureInfoOf(CMainFrame& frame) {
    viewer::ViewerSession& session = frame.session();
    return colour::pictureInfoFromBlocks(session.analysis(), &session.frontEndView());
}

ColourContext colourContextOf(CMainFrame& frame) {
    viewer::ViewerSession& session = frame.session();
    ColourContext context;
    context.table = &session.colourTable();
    context.unknownColour = &session.header().currentView.unknownColour;
    context.maps = &session.maps();
    const QSize size = frame.document().pictureSize();
    context.width = size.width();
    context.height = size.height();
    context.components = session.analysis().components;
    context.statistics = &session.statistics();
    context.julia = session.isJulia();
    context.boxes = &frame.messageBoxes();
    CMainFrame* target = &frame;
    context.postRecolour = [target] { platform::postMessage(target->viewHandle(), common::MSG_RECOLOUR, 0, 0); };
    return context;
}

PrintSource printSourceOf(CMainFrame& frame) {
    PrintSource source;
    source.colours = &frame.session().maps().colour;
    const QSize size = frame.document().pictureSize();
    source.width = size.width();
    source.height = size.height();
    source.info = pictureInfoOf(frame);
    return source;
}

void openColourSettings(const ColourContext& context, QWidget* parent) {
    if (!context.julia) {
        ColourDialog dialog(*context.table, 0, *context.boxes, context.postRecolour, parent);
        dialog.exec();
        return;
    }
    ComponentSelectDialog dialog(context, parent);
    dialog.exec();
}

bool savePictureFile(const render::ColourMap& colours, int width, int height, const QString& path,
                     platform::MessageBoxes& boxes) {
    colour::CDib dib;  // its own bitmap, never the one of a print job
    std::optional<std::string> error;
    if (!dib.buildFromPicture(colours, width, height))
        error = colour::WRITE_ERROR_TEXT;
    else
        error = dib.writeBmp(QFile::encodeName(path).toStdString());
    if (error) {
        boxes.showMessage(*error);
        return false;
    }
    return true;
}

ViewerDialogHooks makeViewerDialogHooks() {
    auto printer = std::make_shared<PicturePrinter>();
    ViewerDialogHooks hooks;
    hooks.colourSettings = [](CMainFrame& frame) {
        if (!frame.session().blocksAvailable()) return;
        openColourSettings(colourContextOf(frame), &frame);
    };
    hooks.componentInfo = [](CMainFrame& frame) {
        if (!frame.session().blocksAvailable()) return;
        ComponentInfoDialog dialog(pictureInfoOf(frame), &frame);
        dialog.exec();
    };
    hooks.formulaInfo = [](CMainFrame& frame) {
        if (!frame.session().blocksAvailable()) return;
        FormulaDialog dialog(frame.session().analysis().map, &frame);
        dialog.exec();
    };
    hooks.orbitDisplay = [](CMainFrame& frame) {
        if (!frame.session().blocksAvailable()) return;
        OrbitDialog dialog(pictureInfoOf(frame), frame.messageBoxes(), &frame);
        dialog.exec();
    };
    hooks.saveFormula = [](CMainFrame& frame) {
        if (!frame.session().blocksAvailable()) return;
        SaveFormulaDialog dialog(frame.session().analysis().map, frame.session().frontEndView().startDirectory,
                                 frame.messageBoxes(), &frame);
        dialog.run();
    };
    hooks.savePicture = [](CMainFrame& frame, const QString& path) {
        if (!frame.session().blocksAvailable()) return false;
        const QSize size = frame.document().pictureSize();
        return savePictureFile(frame.session().maps().colour, size.width(), size.height(), path,
                               frame.messageBoxes());
    };
    hooks.printPreview = [printer](CMainFrame& frame) {
        if (!frame.session().blocksAvailable()) return;
        printer->printPreview(&frame, printSourceOf(frame), frame.messageBoxes());
    };
    hooks.print = [printer](CMainFrame& frame) {
        if (!frame.session().blocksAvailable()) return;
        printer->print(&frame, printSourceOf(frame), frame.messageBoxes());
    };
    hooks.printSetup = [printer](CMainFrame& frame) { printer->printSetup(&frame); };
    return hooks;
}
