// Saving from a viewer: the picture as a bitmap, the formula appended to
// SampleData.dat; what is refused, and a disk that fills up while it saves.

#include <QDir>

#include <fstream>

#include "dialog_test_support.h"
#include "common/sample_file.h"
#include "fault_support.h"
#include "viewer/colour/save_formula_dialog.h"
#include "viewer/colour/viewer_dialogs.h"

namespace {

using platform_test::fileBytes;

std::string record(const std::string& name) {
    std::string r;
    for (int i = 0; i < 44; ++i) r += (i == 20 ? "1.5 " : "0 ");
    return r + name + "\r";
}

TEST(SaveFormulaDialog, AppendsUnderANewNameAndRefusesTheRest) {
    QTemporaryDir dir;
    const std::string directory = dir.path().toStdString();
    const std::string path = common::samplePath(directory);
    auto write = [&](const std::string& bytes) { std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes; };
    platform::RecordingMessageBoxes boxes;
    common::RationalMap map{};
    render_test::TestBlock::setRationalMap(map, common::FORM_POLYNOMIAL, {{-1, -1.5}, {0.25, 0}, {1, 0}}, {{1, 0}});
    auto save = [&](const common::RationalMap& m, const char* name, std::size_t diskRoom = 1 << 20) {
        SaveFormulaDialog dialog(m, directory, boxes);
        if (!dialog.load()) return -1;
        dialog.nameField()->setText(QString::fromUtf8(name));
        platform_test::FullDisk disk(diskRoom);
        dialog.accept();
        return dialog.result();
    };
    // A missing file is created by the first save; a coefficient of 1e40 does not fit a record; a disk
    // without room for the record: nothing is written, and each says so.
    EXPECT_EQ(save(map, "first"), QDialog::Accepted);
    const std::string before = fileBytes(path);
    EXPECT_NE(before.find("first\r"), std::string::npos);
    common::RationalMap huge = map;
    huge.numeratorRe[1] = 1e40;
    EXPECT_EQ(save(huge, "huge"), QDialog::Rejected);
    EXPECT_EQ(save(map, "second", before.size() + 10), QDialog::Rejected);
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_EQ(boxes.texts(), (std::vector<std::string>{SaveFormulaDialog::OVERFLOW_MESSAGE,
                                                       SaveFormulaDialog::SAVE_FAILED_MESSAGE}));

    write(record("alpha") + record("beta"));
    boxes.clear();
    SaveFormulaDialog dialog(map, directory, boxes);
    ASSERT_TRUE(dialog.load());
    EXPECT_EQ(dialog.list()->item(1)->text(), "beta");
    dialog.accept();  // no name
    dialog.nameField()->setText("alpha");
    dialog.accept();  // taken
    EXPECT_EQ(boxes.texts(), (std::vector<std::string>{SaveFormulaDialog::NO_NAME_MESSAGE,
                                                       SaveFormulaDialog::NAME_USED_MESSAGE}));
    EXPECT_EQ(fileBytes(path), record("alpha") + record("beta"));
    dialog.nameField()->setText("Alpha");  // differs in case only: accepted
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    // Coefficients highest degree first, real then imaginary: numerator, then denominator.
    EXPECT_EQ(fileBytes(path), record("alpha") + record("beta") +
                                   "0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1 0 0.25 0 -1 -1.5 "
                                   "0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1 0 Alpha\r");

    // 300 samples: the dialog does not open. The name field never holds more than 60 bytes, nor half a character.
    std::string full;
    for (int i = 0; i < 300; ++i) full += record(std::to_string(i) + "n");
    write(full);
    boxes.clear();
    EXPECT_EQ(SaveFormulaDialog(map, directory, boxes).run(), QDialog::Rejected);
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{SaveFormulaDialog::TOO_MANY_MESSAGE});
    dialog.nameField()->setText(QString(25, QChar(0x5F0F)));  // 25 x 3 bytes
    EXPECT_EQ(dialog.nameField()->text(), QString(20, QChar(0x5F0F)));
}

TEST(PictureSaving, AFullDiskKeepsTheOldFileAndSaysSo) {
    QTemporaryDir dir;
    const QString picture = dir.filePath("J1.bmp");
    std::ofstream(picture.toStdString()) << "an older picture";
    platform::RecordingMessageBoxes boxes;
    const auto maps = render::makePixelMaps();
    {
        platform_test::FullDisk full(4096);
        EXPECT_FALSE(savePictureFile(maps->colour, 300, 200, picture, boxes));
    }
    EXPECT_EQ(fileBytes(picture.toStdString()), "an older picture");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"J1.bmp"}) << "no temporary file is left";
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{colour::WRITE_ERROR_TEXT});
    // Room again: the picture replaces the old file; a picture of no size is refused with the message.
    EXPECT_TRUE(savePictureFile(maps->colour, 300, 200, picture, boxes));
    EXPECT_EQ(QImage(picture).size(), QSize(300, 200));
    EXPECT_FALSE(savePictureFile(maps->colour, 0, 200, picture, boxes));
    EXPECT_EQ(boxes.texts(), std::vector<std::string>(2, colour::WRITE_ERROR_TEXT));
}

}  // namespace
