#include "viewer/colour/picture_printer.h"

#include "platform/message_box.h"
#include "viewer/colour/print_info_dialog.h"

#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace {

constexpr int TEXT_FLAGS = Qt::AlignLeft | Qt::AlignTop;
constexpr int UNBOUNDED_TEXT = 1 << 24;  // device units; no page comes near it

QRect toQRect(const colour::DeviceRect& r) { return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)); }

}  // namespace

QImage imageFromDib(const colour::CDib& dib) {
    const int width = dib.header().width;
    const int height = dib.header().height;
    if (dib.empty() || width <= 0 || height <= 0 || dib.header().bitCount != 24) return {};
    const std::size_t rowSize = dib.rowSize();
    if (dib.bits().size() < rowSize * static_cast<std::size_t>(height)) return {};
    QImage image(width, height, QImage::Format_RGB32);
    for (int row = 0; row < height; ++row) {
        // Bitmap rows are stored bottom first; each pixel is blue, green, red.
        const std::uint8_t* source = dib.bits().data() + rowSize * static_cast<std::size_t>(height - 1 - row);
        auto* target = reinterpret_cast<QRgb*>(image.scanLine(row));
        for (int x = 0; x < width; ++x)
            target[x] = qRgb(source[3 * x + 2], source[3 * x + 1], source[3 * x]);
    }
    return image;
}

PicturePrinter::PicturePrinter() = default;
PicturePrinter::~PicturePrinter() = default;

QPrinter& PicturePrinter::printer() {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

bool PicturePrinter::prepare(const PrintSource& source) {
    // A snapshot of the picture as it is now, for this job only.
    end();
    if (!source.colours || !bitmap_.buildFromPicture(*source.colours, source.width, source.height)) return false;
    bitmapImage_ = imageFromDib(bitmap_);
    return true;
}

void PicturePrinter::end() {
    bitmap_.clear();
    bitmapImage_ = QImage();
}

colour::PageLayout PicturePrinter::printPage(QPainter& painter, QPrinter& target, const PrintSource& source,
                                             platform::MessageBoxes& boxes) {
    // Painter coordinates start at the top-left of the printable part of the paper.
    const QRect paint = target.pageLayout().paintRectPixels(target.resolution());
    const colour::DeviceRect page{0, 0, paint.width(), paint.height()};
    const int margin = colour::marginToDevice(options_.marginMm, target.logicalDpiX());

    const std::string text = colour::assemblePrintText(source.info, options_);
    QString qtext = QString::fromStdString(text);
    if (qtext.endsWith(QLatin1Char('\n'))) qtext.chop(1);  // the final break ends a line, it starts none
    int textWidth = 0;
    int textHeight = 0;
    if (!text.empty()) {
        // Measured as it will be drawn: lines with Japanese take the taller
        // fallback font, so lines times the page font's spacing falls short.
        const QRect bounds = painter.boundingRect(QRect(0, 0, UNBOUNDED_TEXT, UNBOUNDED_TEXT), TEXT_FLAGS, qtext);
        textWidth = bounds.width();
        textHeight = bounds.height();
    }

    const int pictureWidth = bitmapImage_.isNull() ? 0 : bitmapImage_.width();
    const int pictureHeight = bitmapImage_.isNull() ? 0 : bitmapImage_.height();
    const colour::PageLayout layout =
        colour::computePageLayout(page, margin, pictureWidth, pictureHeight, textWidth, textHeight);
    if (layout.drawPicture) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);  // a plain stretch
        painter.drawImage(toQRect(layout.picture), bitmapImage_);
    }
    if (layout.drawText) {
        painter.save();
        painter.setClipRect(toQRect(layout.text));
        painter.drawText(toQRect(layout.text), TEXT_FLAGS, qtext);
        painter.restore();
    }
    if (layout.textClipped) boxes.showMessage(TEXT_CLIPPED_MESSAGE);
    return layout;
}

colour::PageLayout PicturePrinter::printJob(QPrinter& target, const PrintSource& source,
                                            platform::MessageBoxes& boxes) {
    prepare(source);
    colour::PageLayout layout;
    {
        QPainter painter(&target);
        if (painter.isActive()) layout = printPage(painter, target, source, boxes);
    }
    end();
    return layout;
}

void PicturePrinter::printPreview(QWidget* parent, const PrintSource& source, platform::MessageBoxes& boxes) {
    PrintInfoDialog info(options_, source.info.isJulia(), parent);
    if (info.exec() != QDialog::Accepted) return;  // no preview
    prepare(source);
    QPrintPreviewDialog preview(&printer(), parent);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&](QPrinter* target) {
        QPainter painter(target);
        if (painter.isActive()) printPage(painter, *target, source, boxes);
    });
    preview.exec();
    end();
}

void PicturePrinter::print(QWidget* parent, const PrintSource& source, platform::MessageBoxes& boxes) {
    QPrintDialog dialog(&printer(), parent);
    dialog.setMinMax(1, 1);
    if (dialog.exec() != QDialog::Accepted) return;
    printJob(printer(), source, boxes);
}

void PicturePrinter::printSetup(QWidget* parent) {
    QPageSetupDialog dialog(&printer(), parent);
    dialog.exec();
}
