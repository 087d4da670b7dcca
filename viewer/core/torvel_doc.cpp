#include "viewer/core/torvel_doc.h"

#include <algorithm>

#include "common/colour_word.h"
#include "viewer/core/control_ids.h"

CTorvelDoc::CTorvelDoc(viewer::ViewerSession& session, QObject* parent)
    : QObject(parent), session_(session), title_(QString::fromStdString(session.analysis().title)) {}

void CTorvelDoc::setPictureSize(int width, int height) {
    width = std::clamp(width, 0, viewer::MAX_PICTURE_SIZE);
    height = std::clamp(height, 0, viewer::MAX_PICTURE_SIZE);
    const bool resized = picture_.width() != width || picture_.height() != height;
    if (resized) picture_ = QImage(width, height, QImage::Format_RGB32);
    updateAll();
    if (resized) emit pictureResized(picture_.size());
}

void CTorvelDoc::updateColumns(int firstColumn, int lastColumn, int firstRow, int lastRow) {
    const int width = picture_.width();
    const int height = picture_.height();
    firstColumn = std::max(firstColumn, 0);
    lastColumn = std::min(lastColumn, width - 1);
    firstRow = std::max(firstRow, 0);
    lastRow = std::min(lastRow, height - 1);
    if (firstColumn > lastColumn || firstRow > lastRow) return;
    const render::ColourMap& colours = session_.maps().colour;
    for (int row = firstRow; row <= lastRow; ++row) {
        auto* line = reinterpret_cast<QRgb*>(picture_.scanLine(row));
        const int y = height - 1 - row;
        for (int x = firstColumn; x <= lastColumn; ++x) {
            const common::ColourWord c = colours[x][y];
            line[x] = qRgb(common::redOf(c), common::greenOf(c), common::blueOf(c));
        }
    }
    emit pictureChanged(QRect(QPoint(firstColumn, firstRow), QPoint(lastColumn, lastRow)));
}

void CTorvelDoc::updateAll() { updateColumns(0, picture_.width() - 1, 0, picture_.height() - 1); }

bool CTorvelDoc::writePicture(const QString& path) {
    if (!writer_) return false;
    return writer_(path);
}
