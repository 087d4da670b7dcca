// The printed text read back from the PDF. Lines with Japanese are drawn in
// the taller fallback font; every line must still reach the page, or the
// clipping message must say that some did not.
#include <QApplication>
#include <QFontMetrics>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "platform/recording_message_boxes.h"
#include "viewer/colour/picture_printer.h"

namespace {

struct Case {
    bool allSections;  // else the formula alone
    int commentLines;  // < 0: as many as fit at the page font's own line spacing, less this
};
void PrintTo(const Case& c, std::ostream* os) { *os << (c.allSections ? "all" : "formula") << c.commentLines; }

class PrintText : public ::testing::TestWithParam<Case> {};

TEST_P(PrintText, TheLastCommentLineIsPrintedOrTheClippingIsReported) {
    auto maps = render::makePixelMaps();
    PrintSource source{&maps->colour, 600, 600, {}};
    source.info.map.form = common::FORM_POLYNOMIAL;
    source.info.map.numeratorDegree = 2;
    source.info.map.numeratorRe[2] = 1;
    source.info.map.numeratorRe[0] = -0.12;
    source.info.criticalPoints = source.info.fixedPoints = {{-0.2, 0.6}, {1.2, -0.6}};
    PicturePrinter printer;
    colour::PrintOptions& options = printer.options();
    options.printFormula = true;  // three lines
    options.printRange = options.printFixedPoints = options.printCriticalPoints = options.printLoopCount =
        GetParam().allSections;

    QTemporaryDir dir;
    platform::RecordingMessageBoxes boxes;
    int lines = GetParam().commentLines;
    {
        QPrinter pdf(QPrinter::HighResolution);
        pdf.setOutputFileName(dir.filePath("page.pdf"));
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins({});
        if (lines < 0) lines += pdf.height() / QFontMetrics(QApplication::font(), &pdf).lineSpacing() - 3;
        std::string field;
        for (int i = 1; i <= lines; ++i) field += (i > 1 ? "\r\nコメント" : "コメント") + std::to_string(i);
        options.comment = colour::commentFromField(field);
        printer.printJob(pdf, source, boxes);
    }
    QProcess pdftotext;
    pdftotext.start("pdftotext", {"-enc", "UTF-8", dir.filePath("page.pdf"), "-"});
    ASSERT_TRUE(pdftotext.waitForFinished(60000) && pdftotext.exitCode() == 0) << "needs poppler-utils";
    const bool printed = QString::fromUtf8(pdftotext.readAllStandardOutput()).contains(QStringLiteral("コメント%1").arg(lines));
    EXPECT_NE(printed, !boxes.texts().empty());
    EXPECT_EQ(printed, GetParam().commentLines > 0);
}

INSTANTIATE_TEST_SUITE_P(Comments, PrintText, ::testing::Values(Case{true, 3}, Case{false, 3}, Case{false, -1}));

}  // namespace
