// Printing into a PDF file, read back with poppler's tools: the picture on the page, and the text. Lines with
// Japanese take the taller fallback font; each must still reach the page, or the clipping message say it did not.
#include <QFontMetrics>
#include <QPrinter>
#include <QProcess>

#include "dialog_test_support.h"
#include "viewer/colour/picture_printer.h"

namespace {

// A 600 x 600 picture of z^2 - 0.12 printed on A4 without margins; run() gives a poppler tool's output.
struct PrintedPage {
    PrintedPage() : maps(render::makePixelMaps()), pdf(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
        render_test::TestBlock::setRationalMap(source.info.map, common::FORM_POLYNOMIAL, {{-0.12, 0}, {0, 0}, {1, 0}},
                                               {{1, 0}});
        source.info.criticalPoints = source.info.fixedPoints = {{-0.2, 0.6}, {1.2, -0.6}};
        printer.options().printFormula = true;  // three lines
        pdf->setOutputFileName(path);
        pdf->setPageSize(QPageSize(QPageSize::A4));
        pdf->setPageMargins({});
    }
    void print() {
        printer.printJob(*pdf, source, boxes);
        pdf.reset();  // the file is complete once the printer is gone
    }
    QByteArray run(const QString& tool, QStringList arguments) {
        QProcess process;
        process.start(tool, arguments << path << (tool == "pdftotext" ? "-" : dir.filePath("page")));
        EXPECT_TRUE(process.waitForFinished(60000) && process.exitCode() == 0) << "needs poppler-utils";
        return process.readAllStandardOutput();
    }
    std::unique_ptr<render::PixelMaps> maps;
    PrintSource source{&maps->colour, 600, 600, {}};
    PicturePrinter printer;
    platform::RecordingMessageBoxes boxes;
    QTemporaryDir dir;
    QString path = dir.filePath("page.pdf");
    std::unique_ptr<QPrinter> pdf;
};

TEST(Printing, PrintedPageShowsThePictureTheRightWayUp) {
    PrintedPage page;
    // Red, with a blue square in the top-left quarter (y counts rows from the bottom).
    for (int x = 0; x < 600; ++x)
        for (int y = 0; y < 600; ++y)
            page.maps->colour[x][y] = x < 300 && y >= 300 ? common::colourWord(0, 0, 255) : common::colourWord(255, 0, 0);
    page.print();
    page.run("pdftoppm", {"-png", "-r", "30", "-singlefile"});
    const QImage image(page.dir.filePath("page.png"));
    ASSERT_FALSE(image.isNull());
    // 210 mm at 30 dpi: about 248 pixels wide; the picture is the top square.
    const int w = image.width();
    EXPECT_EQ(image.pixelColor(w / 4, w / 4).rgb() & 0xF0F0F0, 0x0000F0u);
    EXPECT_EQ(image.pixelColor(3 * w / 4, 3 * w / 4).rgb() & 0xF0F0F0, 0xF00000u);
}

// The image printed is the picture row for row (bitmaps store the bottom row first), also where rows are padded.
TEST(Printing, ThePrintedImageIsThePictureRowForRow) {
    auto maps = render::makePixelMaps();
    for (int x = 0; x < 250; ++x)
        for (int y = 0; y < 200; ++y) maps->colour[x][y] = common::colourWord(x, y, 255 - y);
    colour::CDib dib;
    const QImage image = dib.buildFromPicture(maps->colour, 250, 200) ? imageFromDib(dib) : QImage();
    for (int x = 0; x < 250; ++x)
        for (int row = 0; row < 200; ++row) ASSERT_EQ(image.pixel(x, row), qRgb(x, 199 - row, 56 + row)) << x << "," << row;
}

// (all sections or the formula alone, comment lines; < 0: as many as fit at the page font's own line spacing,
// less this): the last line is printed, or it is not and the clipping message says so.
TEST(PrintText, TheLastCommentLineIsPrintedOrTheClippingIsReported) {
    for (const auto& [allSections, commentLines] : {std::pair{true, 3}, {false, 3}, {false, -1}}) {
        PrintedPage page;
        colour::PrintOptions& options = page.printer.options();
        options.printRange = options.printFixedPoints = options.printCriticalPoints = options.printLoopCount =
            allSections;
        int lines = commentLines;
        if (lines < 0) lines += page.pdf->height() / QFontMetrics(QApplication::font(), page.pdf.get()).lineSpacing() - 3;
        std::string field;
        for (int i = 1; i <= lines; ++i) field += (i > 1 ? "\r\nコメント" : "コメント") + std::to_string(i);
        options.comment = colour::commentFromField(field);
        page.print();
        const QString text = QString::fromUtf8(page.run("pdftotext", {"-enc", "UTF-8"}));
        const bool printed = text.contains(QStringLiteral("コメント%1").arg(lines));
        EXPECT_EQ(printed, commentLines > 0) << allSections << " " << commentLines;
        EXPECT_EQ(page.boxes.texts(), std::vector<std::string>(printed ? 0 : 1, PicturePrinter::TEXT_CLIPPED_MESSAGE));
    }
}

}  // namespace
