// Writes pictures of the colour settings dialog and the orbit dialog for the
// user guide:  xvfb-run -a colour_dialog_screenshots <output folder>
// Not a test; the pictures land in docs/.
#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QPixmap>
#include <QTimer>

#include "platform/recording_message_boxes.h"
#include "viewer/colour/colour_dialog.h"
#include "viewer/colour/dialog_widgets.h"
#include "viewer/colour/orbit_dialog.h"
#include "platform/ui_language.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    platform::setUpUiLanguage(app);  // HALVATRINE_LANG=ja|en picks the pictures' language
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    platform::RecordingMessageBoxes boxes;

    colour::ColourTable table;
    for (auto& r : table.records) {
        r = colour::defaultComponentColour(1000);
        r.lowCount = 3;
        r.highCount = 640;
    }
    table.records[0].greenCurve.distortion = -6;
    ColourDialog colourDialog(table, 0, boxes, {});
    colourDialog.show();

    // z^2 + c with a Siegel disk of golden-mean rotation: the critical orbit
    // traces the disk's boundary, a picked point inside it a closed curve.
    colour::PictureInfo info;
    info.pictureKind = 'J';
    info.map.form = common::FORM_POLYNOMIAL;
    info.map.numeratorDegree = 2;
    info.map.numeratorRe[2] = 1;
    info.map.numeratorRe[0] = -0.3905408702183990;
    info.map.numeratorIm[0] = -0.5867879073469686;
    info.map.denominatorRe[0] = 1;
    info.criticalPoints = {{0, 0}};
    info.loopCount = 1000;
    info.convergenceRadius = 1e-6;
    info.width = 600;
    info.height = 450;
    info.magnification = 0.28;
    OrbitDialog orbitDialog(info, boxes);
    orbitDialog.show();
    // A picked point between the disk's centre and its boundary, drawn in red.
    orbitDialog.pick(QPoint(13 + 263, 139 + 282), Qt::ControlModifier);
    orbitDialog.showMousePosition(QPoint(13 + 263, 139 + 282));

    QTimer::singleShot(500, [&] {
        colourDialog.grab().save(out.filePath(QStringLiteral("colour_dialog.png")));
        orbitDialog.grab().save(out.filePath(QStringLiteral("orbit_dialog.png")));
        QApplication::quit();
    });
    return app.exec();
}
