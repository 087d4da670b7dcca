// CTorvelDoc: the document of a viewer window. It carries the picture's
// title (read from the block, never a file name) and the off-screen image
// that every view of the picture paints from.
//
// The image is the window's picture: image pixel (x, row) shows
// ColourMap[x][height - 1 - row]. It is brought up to date from the pixel
// maps column by column while the render runs (updateColumns) and whole
// after a recolouring (updateAll); the views then repaint the touched part.
//
// Saving: the document writes nothing itself. The bitmap writer is plugged
// in with setPictureWriter(); save() refuses with "描画が終わらないと保存
// できません。" unless the picture is done (the caller passes the state).
//
// Thread-safety: interface thread only. The maps are read while the render
// thread writes them; a torn value is corrected by the next update.
#pragma once

#include <QImage>
#include <QObject>
#include <QString>
#include <functional>

#include "viewer/core/viewer_session.h"

class CTorvelDoc : public QObject {
    Q_OBJECT
public:
    explicit CTorvelDoc(viewer::ViewerSession& session, QObject* parent = nullptr);

    // The block's title (at most 255 bytes).
    QString title() const { return title_; }

    viewer::ViewerSession& session() { return session_; }

    // The picture as the views show it.
    const QImage& picture() const { return picture_; }
    QSize pictureSize() const { return picture_.size(); }

    // Resizes the image (sizes are clamped to 0..1000) and fills it from the
    // maps; emits pictureResized when the size changed.
    void setPictureSize(int width, int height);
    // Copies columns first..last, window rows firstRow..lastRow (clamped to
    // the picture) from the colour map and emits pictureChanged with the
    // rectangle.
    void updateColumns(int firstColumn, int lastColumn, int firstRow, int lastRow);
    void updateAll();

    // The bitmap file writer: returns false when writing failed (it reports
    // its own errors). Without one, saving is not offered.
    using PictureWriter = std::function<bool(const QString& path)>;
    void setPictureWriter(PictureWriter writer) { writer_ = std::move(writer); }
    bool canSave() const { return static_cast<bool>(writer_); }
    // Writes the picture to path through the writer. Returns false (writing
    // nothing) when there is no writer.
    bool writePicture(const QString& path);

    static constexpr const char* NOT_DONE_SAVE_MESSAGE =
        QT_TRANSLATE_NOOP("Texts", "描画が終わらないと保存できません。");

signals:
    void pictureChanged(const QRect& windowRect);
    void pictureResized(const QSize& size);

private:
    viewer::ViewerSession& session_;
    QString title_;
    QImage picture_;
    PictureWriter writer_;
};
