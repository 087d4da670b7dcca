// The printed text read back from the PDF: lines with Japanese are drawn in
// the taller fallback font, and every line must still reach the page, or the
// clipping message must say that it did not.
#include <QApplication>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "common/colour_word.h"
#include "platform/recording_message_boxes.h"
#include "viewer/colour/picture_printer.h"

namespace {

struct Case {
    const char* name;
    bool allSections;  // otherwise the formula only
    int commentLines;
    bool clipped;  // the text cannot fit: the message, and the last line is lost
};

class PrintText : public ::testing::TestWithParam<Case> {};

TEST_P(PrintText, LastCommentLineIsPrintedOrTheClippingIsReported) {
    const Case& c = GetParam();
    auto maps = render::makePixelMaps();
    for (int x = 0; x < 600; ++x)
        for (int y = 0; y < 600; ++y) maps->colour[x][y] = common::colourWord(200, 0, 0);
    PrintSource source;
    source.colours = &maps->colour;
    source.width = source.height = source.info.width = source.info.height = 600;
    source.info.map.form = common::FORM_POLYNOMIAL;
    source.info.map.numeratorDegree = 2;
    source.info.map.numeratorRe[2] = 1;
    source.info.map.numeratorRe[0] = -0.12;
    source.info.map.numeratorIm[0] = 0.75;
    source.info.magnification = 0.25;
    source.info.loopCount = 1000;
    source.info.fixedPoints = {{-0.2, 0.6}, {1.2, -0.6}};
    source.info.criticalPoints = {{0, 0}};

    PicturePrinter printer;
    colour::PrintOptions& options = printer.options();
    options.printFormula = true;
    options.printRange = options.printFixedPoints = options.printCriticalPoints = options.printLoopCount =
        c.allSections;

    QTemporaryDir dir;
    const QString pdfPath = dir.filePath("page.pdf");
    platform::RecordingMessageBoxes boxes;
    int commentLines = c.commentLines;
    {
        QPrinter pdf(QPrinter::HighResolution);
        pdf.setOutputFormat(QPrinter::PdfFormat);
        pdf.setOutputFileName(pdfPath);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
        // Negative: the page holds these lines at the page font's own line
        // spacing (after the three of the formula), but not as drawn.
        if (commentLines < 0)
            commentLines = pdf.height() / QFontMetrics(QApplication::font(), &pdf).lineSpacing() - 3 + commentLines;
        std::string field;
        for (int i = 1; i <= commentLines; ++i) field += (i > 1 ? "\r\n" : "") + std::string("コメント") + std::to_string(i);
        options.comment = colour::commentFromField(field);
        printer.printJob(pdf, source, boxes);
    }  // the file is complete once the printer is gone
    QProcess extract;
    extract.start("pdftotext", {"-enc", "UTF-8", pdfPath, "-"});
    ASSERT_TRUE(extract.waitForFinished(60000));
    ASSERT_EQ(extract.exitCode(), 0) << "pdftotext (poppler-utils) is needed";
    const QString text = QString::fromUtf8(extract.readAllStandardOutput());

    const QString last = QStringLiteral("コメント%1").arg(commentLines);
    if (c.clipped) {
        EXPECT_FALSE(text.contains(last));
        EXPECT_EQ(boxes.texts(), std::vector<std::string>{PicturePrinter::TEXT_CLIPPED_MESSAGE});
    } else {
        EXPECT_TRUE(text.contains(last)) << text.toStdString();
        EXPECT_TRUE(boxes.texts().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(, PrintText,
                         ::testing::Values(Case{"AllSectionsAndThreeLines", true, 3, false},
                                           Case{"FormulaAndThreeLines", false, 3, false},
                                           Case{"TallerThanThePage", false, -1, true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
