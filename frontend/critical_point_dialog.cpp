#include "frontend/critical_point_dialog.h"

#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include <algorithm>

#include "common/number_text.h"
#include "common/ui_text.h"
#include "frontend/help_topics.h"
#include "platform/help_window.h"
#include "platform/ui_language.h"

namespace {

QPushButton* plainButton(const char* text, QWidget* parent) {
    auto* b = new QPushButton(platform::uiText(text), parent);
    b->setAutoDefault(false);  // Enter does not start anything
    return b;
}

}  // namespace

CriticalPointDialog::CriticalPointDialog(common::CriticalPointList& list, platform::MessageBoxes& messages,
                                         QWidget* parent)
    : QDialog(parent),
      points_(list),
      messages_(messages),
      list_(new QListWidget(this)),
      count_(std::clamp(list.count, 0, common::MAX_CRITICAL_POINTS)) {
    setWindowTitle(tr("クリティカルポイントの選択"));
    list_->setObjectName(QStringLiteral("criticalPointList"));
    list_->setSelectionMode(QAbstractItemView::MultiSelection);
    for (int i = 0; i < count_; ++i) {
        const std::string line = common::translate("Texts", "実部 ") + common::formatG16(list.re[i]) +
                                 common::translate("Texts", " 虚部 ") + common::formatG16(list.im[i]);
        list_->addItem(QString::fromStdString(line));
    }
    list_->setMinimumWidth(420);

    auto* all = plainButton(QT_TRANSLATE_NOOP("Texts", "全選択"), this);
    auto* none = plainButton(QT_TRANSLATE_NOOP("Texts", "全解除"), this);
    auto* start = plainButton(QT_TRANSLATE_NOOP("Texts", "スタート"), this);
    all->setObjectName(QStringLiteral("selectAllButton"));
    none->setObjectName(QStringLiteral("deselectAllButton"));
    start->setObjectName(QStringLiteral("startButton"));
    connect(all, &QPushButton::clicked, this, [this] { selectAll(true); });
    connect(none, &QPushButton::clicked, this, [this] { selectAll(false); });
    connect(start, &QPushButton::clicked, this, &CriticalPointDialog::start);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(all);
    buttons->addWidget(none);
    buttons->addStretch(1);
    buttons->addWidget(start);
    auto* row = new QHBoxLayout;
    row->addWidget(list_, 1);
    row->addLayout(buttons);
    auto* column = new QVBoxLayout(this);
    column->addWidget(new QLabel(tr("クリティカルポイントを選択"), this));
    column->addLayout(row);

    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, [] { platform::showHelpTopic(frontend::HELP_CRITICAL_POINTS); });
}

void CriticalPointDialog::selectAll(bool select) {
    for (int i = 0; i < count_; ++i) list_->item(i)->setSelected(select);
}

void CriticalPointDialog::start() {
    const QList<QListWidgetItem*> chosen = list_->selectedItems();
    if (chosen.isEmpty()) {
        messages_.showMessage(MSG_NO_CRITICAL_POINT);
        return;
    }
    std::fill(std::begin(points_.selected), std::end(points_.selected), std::uint8_t{0});
    for (QListWidgetItem* item : chosen) {
        const int row = list_->row(item);
        if (row >= 0 && row < count_) points_.selected[row] = 1;
    }
    accept();
}

bool selectCriticalPoints(common::CriticalPointList& list, platform::MessageBoxes& messages, QWidget* parent) {
    CriticalPointDialog dialog(list, messages, parent);
    return dialog.exec() == QDialog::Accepted;
}
