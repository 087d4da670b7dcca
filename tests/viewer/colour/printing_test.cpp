// Printing a picture into a PDF file: the page layout on A4 and the page
// itself, rendered back with pdftoppm.
#include <QImage>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "common/colour_word.h"
#include "platform/recording_message_boxes.h"
#include "test_blocks.h"
#include "viewer/colour/picture_printer.h"

namespace {

constexpr int DPI = 1200;

struct Picture {
    Picture() : maps(render::makePixelMaps()) {
        // 600 x 600: red, with a blue square in the top-left quarter
        // (y counts rows from the bottom).
        for (int x = 0; x < 600; ++x)
            for (int y = 0; y < 600; ++y)
                maps->colour[x][y] = x < 300 && y >= 300 ? common::colourWord(0, 0, 255) : common::colourWord(255, 0, 0);
        source.colours = &maps->colour;
        source.width = 600;
        source.height = 600;
        render_test::TestBlock::setRationalMap(source.info.map, common::FORM_POLYNOMIAL, {{-1, 0}, {0, 0}, {1, 0}},
                                               {{1, 0}});
    }
    std::unique_ptr<render::PixelMaps> maps;
    PrintSource source;
};

std::unique_ptr<QPrinter> pdfPrinter(const QString& path, QPageLayout::Orientation orientation) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    printer->setResolution(DPI);
    printer->setPageSize(QPageSize(QPageSize::A4));
    printer->setPageOrientation(orientation);
    printer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    return printer;
}

TEST(Printing, TextWiderThanThePageIsClippedWithTheMessage) {
    QTemporaryDir dir;
    Picture picture;
    PicturePrinter printer;
    printer.options().comment = colour::commentFromField(std::string(1000, 'W'));
    platform::RecordingMessageBoxes boxes;
    auto pdf = pdfPrinter(dir.filePath("page.pdf"), QPageLayout::Portrait);
    const colour::PageLayout layout = printer.printJob(*pdf, picture.source, boxes);
    EXPECT_EQ(layout.placement, colour::TextPlacement::Below);
    EXPECT_TRUE(layout.textClipped);
    EXPECT_EQ(layout.text.right, layout.printable.right);
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{PicturePrinter::TEXT_CLIPPED_MESSAGE});
}

TEST(Printing, PrintedPageShowsThePicture) {
    if (QStandardPaths::findExecutable("pdftoppm").isEmpty()) GTEST_SKIP() << "pdftoppm is not installed";
    QTemporaryDir dir;
    Picture picture;
    PicturePrinter printer;
    printer.options().printFormula = true;
    platform::RecordingMessageBoxes boxes;
    const QString pdfPath = dir.filePath("page.pdf");
    {
        auto pdf = pdfPrinter(pdfPath, QPageLayout::Portrait);
        printer.printJob(*pdf, picture.source, boxes);
    }  // the file is complete once the printer is gone
    QProcess convert;
    convert.start("pdftoppm", {"-png", "-r", "30", "-f", "1", "-l", "1", "-singlefile", pdfPath,
                               dir.filePath("page")});
    ASSERT_TRUE(convert.waitForFinished(60000));
    ASSERT_EQ(convert.exitCode(), 0) << convert.readAllStandardError().toStdString();
    const QImage page(dir.filePath("page.png"));
    ASSERT_FALSE(page.isNull());
    // 210 mm at 30 dpi: about 248 pixels wide; the picture is the top square.
    const int w = page.width();
    const QColor topLeft = page.pixelColor(w / 4, w / 4);
    const QColor bottomRight = page.pixelColor(3 * w / 4, 3 * w / 4);
    EXPECT_GT(topLeft.blue(), 200);
    EXPECT_LT(topLeft.red(), 60);
    EXPECT_GT(bottomRight.red(), 200);
    EXPECT_LT(bottomRight.blue(), 60);
    // Under the picture: white paper with some dark text pixels.
    int dark = 0;
    for (int y = w + 2; y < page.height(); ++y)
        for (int x = 0; x < w; ++x) dark += page.pixelColor(x, y).lightness() < 128;
    EXPECT_GT(dark, 0);
}

}  // namespace
