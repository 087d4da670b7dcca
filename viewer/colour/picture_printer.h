// Printing a picture: one page with the picture and, beside or below it,
// the information text chosen in "印刷情報".
//
// A print job runs in three steps: prepare (a fresh print bitmap is built
// from the picture's colour map for every job), print the one page, end
// (the bitmap is dropped). The print preview asks for the information first
// (PrintInfoDialog; Cancel starts no preview); direct printing (Ctrl+P) shows
// the print dialog and uses the information chosen last. The printer and the
// PrintOptions live as long as the PicturePrinter, i.e. the viewer process.
//
// A text that does not fit is printed clipped and followed by the message
// "テキストが入りません。文字が一部欠けます。" each time the page is drawn.
//
// Interface thread only.
#pragma once

#include "viewer/colour/bitmap.h"
#include "viewer/colour/picture_info.h"
#include "viewer/colour/print_layout.h"
#include "viewer/maps/pixel_maps.h"

#include <QImage>
#include <memory>

class QPainter;
class QPrinter;
class QWidget;

namespace platform {
class MessageBoxes;
}

// What one print job prints.
struct PrintSource {
    const render::ColourMap* colours = nullptr;
    int width = 0;
    int height = 0;
    colour::PictureInfo info;
};

class PicturePrinter {
public:
    PicturePrinter();
    ~PicturePrinter();
    PicturePrinter(const PicturePrinter&) = delete;
    PicturePrinter& operator=(const PicturePrinter&) = delete;

    static constexpr const char* TEXT_CLIPPED_MESSAGE =
        QT_TRANSLATE_NOOP("Texts", "テキストが入りません。文字が一部欠けます。");

    QPrinter& printer();
    colour::PrintOptions& options() { return options_; }

    // "印刷(&P)...": information dialog, then the preview.
    void printPreview(QWidget* parent, const PrintSource& source, platform::MessageBoxes& boxes);
    // Ctrl+P: the print dialog, then the page.
    void print(QWidget* parent, const PrintSource& source, platform::MessageBoxes& boxes);
    // "ﾌﾟﾘﾝﾀの設定(&R)...".
    void printSetup(QWidget* parent);

    // A whole job on the given printer without any dialog: prepare, the
    // page, end. Returns the page's layout.
    colour::PageLayout printJob(QPrinter& target, const PrintSource& source, platform::MessageBoxes& boxes);

    // The page itself, drawn with painter on target (prepare must have run).
    colour::PageLayout printPage(QPainter& painter, QPrinter& target, const PrintSource& source,
                                 platform::MessageBoxes& boxes);

    bool prepare(const PrintSource& source);
    void end();
    bool prepared() const { return !bitmap_.empty(); }

private:
    std::unique_ptr<QPrinter> printer_;
    colour::PrintOptions options_;
    colour::CDib bitmap_;
    QImage bitmapImage_;
};

// The image of a 24-bit bitmap (rows bottom first) the right way up.
QImage imageFromDib(const colour::CDib& dib);
