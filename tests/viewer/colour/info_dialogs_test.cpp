// Formula saving into SampleData.dat and picture saving from a viewer.
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "common/number_text.h"
#include "common/sample_file.h"
#include "platform/recording_message_boxes.h"
#include "viewer/colour/save_formula_dialog.h"
#include "viewer/colour/viewer_dialogs.h"
#include "viewer_harness.h"

namespace {

common::RationalMap zSquaredMinusOne() {
    common::RationalMap map{};
    render_test::TestBlock::setRationalMap(map, common::FORM_POLYNOMIAL, {{-1, 0}, {0, 0}, {1, 0}}, {{1, 0}});
    return map;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string record(const std::string& name) {
    std::string r;
    for (int i = 0; i < 44; ++i) r += (i == 20 ? "1.5 " : "0 ");
    return r + name + "\r";
}

TEST(SaveFormulaDialog, AppendsUnderANewNameAndTheFrontEndReadsItBack) {
    QTemporaryDir dir;
    const std::string directory = dir.path().toStdString();
    const std::string path = common::samplePath(directory);
    writeFile(path, record("alpha") + record("beta"));
    platform::RecordingMessageBoxes boxes;
    common::RationalMap map = zSquaredMinusOne();
    map.numeratorRe[1] = 0.25;
    map.numeratorIm[0] = -1.5;

    SaveFormulaDialog dialog(map, directory, boxes);
    ASSERT_TRUE(dialog.load());
    ASSERT_EQ(dialog.list()->count(), 2);
    EXPECT_EQ(dialog.list()->item(1)->text(), "beta");

    dialog.accept();  // no name
    dialog.nameField()->setText("alpha");
    dialog.accept();  // taken
    EXPECT_EQ(boxes.texts(), (std::vector<std::string>{SaveFormulaDialog::NO_NAME_MESSAGE,
                                                       SaveFormulaDialog::NAME_USED_MESSAGE}));
    EXPECT_EQ(readFile(path), record("alpha") + record("beta"));

    dialog.nameField()->setText("Alpha");  // differs in case only: accepted
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(boxes.texts().size(), 2u);
    EXPECT_EQ(readFile(path), record("alpha") + record("beta") +
                                  "0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1 0 0.25 0 -1 -1.5 "
                                  "0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1 0 Alpha\r");

    // The front end's reader gets the same coefficients back.
    common::SampleFile file;
    ASSERT_TRUE(file.readSamples(path, common::SampleAccess::ReadOnly));
    const common::SampleTable& table = file.table();
    ASSERT_EQ(table.presentCount(), 3);
    const common::SampleRecord& saved = table.records[static_cast<std::size_t>(table.presentIndices()[2])];
    EXPECT_EQ(saved.name, "Alpha");
    for (int k = 0; k <= 10; ++k) {
        EXPECT_EQ(common::parseDouble(saved.texts[2 * (10 - k)]), map.numeratorRe[k]) << k;
        EXPECT_EQ(common::parseDouble(saved.texts[2 * (10 - k) + 1]), map.numeratorIm[k]) << k;
        EXPECT_EQ(common::parseDouble(saved.texts[22 + 2 * (10 - k)]), map.denominatorRe[k]) << k;
    }
}

TEST(SaveFormulaDialog, OverflowFullFileAndMissingFile) {
    QTemporaryDir dir;
    const std::string directory = dir.path().toStdString();
    const std::string path = common::samplePath(directory);
    platform::RecordingMessageBoxes boxes;

    // A missing file is created by the first save.
    {
        SaveFormulaDialog dialog(zSquaredMinusOne(), directory, boxes);
        ASSERT_TRUE(dialog.load());
        EXPECT_EQ(dialog.list()->count(), 0);
        dialog.nameField()->setText("first");
        dialog.accept();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    EXPECT_NE(readFile(path).find("first\r"), std::string::npos);

    // A coefficient of 1e40 does not fit a record: nothing is written.
    const std::string before = readFile(path);
    {
        common::RationalMap huge = zSquaredMinusOne();
        huge.numeratorRe[1] = 1e40;
        SaveFormulaDialog dialog(huge, directory, boxes);
        ASSERT_TRUE(dialog.load());
        dialog.nameField()->setText("huge");
        dialog.accept();
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{SaveFormulaDialog::OVERFLOW_MESSAGE});
    EXPECT_EQ(readFile(path), before);

    // 300 samples: the dialog does not open.
    std::string full;
    for (int i = 0; i < 300; ++i) full += record(std::to_string(i) + "n");
    writeFile(path, full);
    boxes.clear();
    SaveFormulaDialog dialog(zSquaredMinusOne(), directory, boxes);
    EXPECT_FALSE(dialog.load());
    EXPECT_EQ(dialog.run(), QDialog::Rejected);
    EXPECT_EQ(boxes.texts(), std::vector<std::string>(2, SaveFormulaDialog::TOO_MANY_MESSAGE));

    // The name field never holds more than 60 bytes, nor half a character.
    SaveFormulaDialog named(zSquaredMinusOne(), directory, boxes);
    named.nameField()->setText(QString(25, QChar(0x5F0F)));  // 25 x 3 bytes
    EXPECT_EQ(named.nameField()->text(), QString(20, QChar(0x5F0F)));
}

TEST(PictureSaving, WritesABitmapThatAnotherReaderReads) {
    QTemporaryDir dir;
    auto maps = render::makePixelMaps();
    for (int x = 0; x < 5; ++x)
        for (int y = 0; y < 3; ++y) maps->colour[x][y] = common::colourWord(10 * x, 20 * y, 7);
    platform::RecordingMessageBoxes boxes;
    const QString path = dir.filePath("J1.bmp");
    ASSERT_TRUE(savePictureFile(maps->colour, 5, 3, path, boxes));
    const QImage image(path);
    ASSERT_EQ(image.size(), QSize(5, 3));
    EXPECT_EQ(image.pixelColor(4, 0), QColor(40, 40, 7)) << "y = 2 is the top row";
    EXPECT_TRUE(boxes.texts().empty());
}

}  // namespace
