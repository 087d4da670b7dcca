// The viewer when things fail around it: its front end killed while it
// draws, and a disk that fills up while it saves the picture or the formula.
#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>

#include "common/sample_file.h"
#include "fault_support.h"
#include "viewer/colour/picture_printer.h"
#include "viewer/colour/save_formula_dialog.h"
#include "viewer/colour/viewer_dialogs.h"
#include "viewer_harness.h"

namespace {

using platform_test::FullDisk;

std::string readFile(const QString& path) { return platform_test::fileBytes(path.toStdString()); }

TEST(ViewerFaults, AFrontEndKilledWhileDrawingLeavesAViewerThatFinishesSavesPrintsAndCloses) {
    // The front end's socket, held here: it receives the draw start, then
    // goes dead as a killed process's does (the file stays, nobody reads).
    const pid_t frontEnd = platform_test::deadPid();
    const std::string path = platform::socketPathFor(frontEnd);
    const int socket = platform_test::bindSocket(path);
    ASSERT_GE(socket, 0);

    viewer_test::PictureSetup setup;
    setup.loopCount = 3000;
    viewer_test::ViewerHarness h(setup);
    h.block.setMap(common::FORM_POLYNOMIAL, {{0.25, 0}, {0, 0}, {1, 0}});  // slow near its parabolic point
    h.frontEnd->mainWindow = platform::makeWindowHandle(frontEnd, 1);
    h.open();
    h.frame->setDialogHooks(makeViewerDialogHooks());
    h.pressDraw();
    unsigned char started[platform::MESSAGE_SIZE];
    ASSERT_EQ(::recv(socket, started, sizeof started, 0), platform::MESSAGE_SIZE);
    EXPECT_EQ(platform::decodeMessage(started).msg, common::MSG_DRAW_STARTED);
    ::close(socket);
    EXPECT_TRUE(h.frame->renderRunning());

    ASSERT_TRUE(h.waitFor([&] { return h.frame->state() == viewer::ViewerState::Done; }));
    QTemporaryDir dir;
    EXPECT_TRUE(savePictureFile(h.session->maps().colour, setup.width, setup.height, dir.filePath("J1.bmp"), h.boxes));
    const std::string bitmap = readFile(dir.filePath("J1.bmp"));
    EXPECT_TRUE(bitmap.rfind("BM", 0) == 0 && bitmap.size() > 600u * 3u * 400u) << bitmap.size();
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(dir.filePath("J1.pdf"));
    PicturePrinter printer;
    printer.printJob(pdf, printSourceOf(*h.frame), h.boxes);
    EXPECT_EQ(readFile(dir.filePath("J1.pdf")).rfind("%PDF", 0), 0u);
    EXPECT_TRUE(h.boxes.texts().empty());

    bool closed = false;
    QObject::connect(h.frame.get(), &CMainFrame::closed, [&] { closed = true; });
    h.frame->requestClose();
    EXPECT_TRUE(h.waitFor([&] { return closed; }));
    EXPECT_EQ(h.releaseCount, 1);
    ::unlink(path.c_str());
}

TEST(ViewerFaults, AFullDiskWhileSavingKeepsTheOldFileAndSaysSo) {
    QTemporaryDir dir;
    const QString picture = dir.filePath("J1.bmp");
    std::ofstream(picture.toStdString()) << "an older picture";
    platform::RecordingMessageBoxes boxes;
    {
        FullDisk full(4096);
        EXPECT_FALSE(savePictureFile(render::makePixelMaps()->colour, 300, 200, picture, boxes));
    }
    EXPECT_EQ(readFile(picture), "an older picture");
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{colour::WRITE_ERROR_TEXT});

    // The formula, appended to a sample file that the disk cannot hold.
    const std::string samples = common::samplePath(dir.path().toStdString());
    common::RationalMap map{};
    map.form = common::FORM_POLYNOMIAL;
    map.numeratorDegree = 2;
    map.numeratorRe[2] = map.denominatorRe[0] = 1;
    ASSERT_EQ(common::SampleFile().createWithSample(samples, *common::formatSample(map), "first"),
              common::SampleWriteResult::Written);
    const std::string before = readFile(QString::fromStdString(samples));
    SaveFormulaDialog dialog(map, dir.path().toStdString(), boxes);
    ASSERT_TRUE(dialog.load());
    dialog.nameField()->setText("second");
    {
        FullDisk full(before.size() + 10);
        dialog.accept();
    }
    EXPECT_EQ(readFile(QString::fromStdString(samples)), before);
    EXPECT_EQ(boxes.texts().back(), SaveFormulaDialog::SAVE_FAILED_MESSAGE);
}

}  // namespace
