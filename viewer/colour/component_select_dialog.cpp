#include "viewer/colour/component_select_dialog.h"

#include "platform/message_box.h"
#include "viewer/colour/colour_dialog.h"
#include "viewer/colour/dialog_widgets.h"
#include "viewer/colour/info_text.h"
#include "viewer/colour/unknown_colour_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const QRgb THUMBNAIL_BACKGROUND = qRgb(255, 255, 255);
const QRgb THUMBNAIL_COMPONENT = qRgb(128, 128, 128);

QImage maskImage(const colour::ComponentMasks& masks, int mask) {
    const colour::ThumbnailSize& size = masks.size;
    QImage image(std::max(size.width, 1), std::max(size.height, 1), QImage::Format_Mono);
    image.setColorCount(2);
    image.setColor(0, THUMBNAIL_BACKGROUND);
    image.setColor(1, THUMBNAIL_COMPONENT);
    image.fill(0);
    const auto& bits = masks.bits[static_cast<std::size_t>(mask)];
    for (int row = 0; row < size.height; ++row)
        std::copy_n(bits.data() + static_cast<std::size_t>(row) * size.rowBytes,
                    std::min<int>(size.rowBytes, static_cast<int>(image.bytesPerLine())), image.scanLine(row));
    return image;
}

}  // namespace

ComponentSelectDialog::ComponentSelectDialog(const ColourContext& context, QWidget* parent)
    : QDialog(parent), context_(context) {
    setWindowTitle(tr("コンポネント選択"));
    list_ = new QListWidget(this);
    thumbnail_ = new QLabel(this);
    thumbnail_->setFixedSize(colour::THUMBNAIL_LONG_SIDE, colour::THUMBNAIL_LONG_SIDE);
    thumbnail_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    pixelCount_ = new QLineEdit(this);
    pixelCount_->setReadOnly(true);
    auto* setButton = new QPushButton(tr("設定"), this);
    auto* closeButton = new QPushButton(tr("閉じる"), this);
    connect(setButton, &QPushButton::clicked, this, &ComponentSelectDialog::setColour);
    connect(closeButton, &QPushButton::clicked, this, &ComponentSelectDialog::reject);

    auto* instruction = new QLabel(
        tr("色を指定したいコンポネントを選択して設定ﾎﾞﾀﾝを押してください。灰色の領域が設定対象です。"), this);
    instruction->setWordWrap(true);
    auto* grid = new QGridLayout;
    grid->addWidget(list_, 0, 0, 3, 1);
    grid->addWidget(thumbnail_, 0, 1, 1, 2);
    grid->addWidget(new QLabel(tr("ピクセル数"), this), 1, 1);
    grid->addWidget(pixelCount_, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(setButton);
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(instruction);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    installHelpKey(this, HELP_COLOUR_SETTINGS);

    openDialog = [this](int code) {
        if (code < 0) {
            UnknownColourDialog dialog(*context_.unknownColour, context_.postRecolour, this);
            dialog.exec();
        } else {
            ColourDialog dialog(*context_.table, code, *context_.boxes, context_.postRecolour, this);
            dialog.exec();
        }
    };

    if (!context_.julia) return;  // only Julia pictures have components to choose
    masks_ = colour::buildComponentMasks(context_.maps->component, context_.width, context_.height);
    list_->addItem(tr("無限遠"));
    for (const common::ComponentView& component : context_.components)
        list_->addItem(QString::fromStdString(colour::selectionListLabel(component)));
    list_->addItem(tr("不明"));
    connect(list_, &QListWidget::currentRowChanged, this, &ComponentSelectDialog::showEntry);
    list_->setCurrentRow(0);
}

int ComponentSelectDialog::unknownRow() const { return static_cast<int>(context_.components.size()) + 1; }

void ComponentSelectDialog::showEntry(int row) {
    if (row < 0) return;
    const bool unknown = row >= unknownRow();
    const int mask = unknown ? colour::UNKNOWN_MASK : row;
    const int count = unknown ? context_.statistics->unknownPixelCount
                              : context_.statistics->stats[static_cast<std::size_t>(row)].pixelCount;
    thumbnail_->setPixmap(QPixmap::fromImage(maskImage(masks_, mask)));
    pixelCount_->setText(QString::number(count));
}

void ComponentSelectDialog::setColour() {
    const int row = list_->currentRow();
    if (row < 0) return;
    if (row >= unknownRow()) {
        if (context_.statistics->unknownPixelCount > 0) {
            openDialog(-1);
            return;
        }
    } else if (context_.statistics->stats[static_cast<std::size_t>(row)].pixelCount > 0) {
        openDialog(row);
        return;
    }
    context_.boxes->showMessage(NO_PIXELS_MESSAGE);
}
