#include "frontend/settings_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include <algorithm>

#include "frontend/formula_grid.h"
#include "frontend/help_topics.h"
#include "platform/help_window.h"

namespace {

QString fromStd(const std::string& s) { return QString::fromStdString(s); }

// Sets a field's text without moving the caret further than the text goes.
void rewrite(QLineEdit* field, const QString& text, int caret) {
    field->setText(text);
    field->setCursorPosition(std::clamp(caret, 0, static_cast<int>(text.size())));
}

}  // namespace

SettingsDialog::SettingsDialog(frontend::Settings& settings, bool editable, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      loop_(new QLineEdit(this)),
      convergence_(new QLineEdit(this)),
      continuity_(new QLineEdit(this)),
      inOut_(new QLineEdit(this)),
      siegel_(new QCheckBox(tr("ジーゲルディスク/エルマンリングを扱う"), this)),
      default_(new QPushButton(tr("ディフォルト"), this)),
      ok_(new QPushButton(QStringLiteral("OK"), this)),
      cancel_(new QPushButton(tr("ｷｬﾝｾﾙ"), this)) {
    setWindowTitle(tr("パラメータ設定"));
    for (QLineEdit* field : {loop_, convergence_, continuity_, inOut_}) field->setMaxLength(32);
    loop_->setObjectName(QStringLiteral("loopField"));
    convergence_->setObjectName(QStringLiteral("convergenceField"));
    continuity_->setObjectName(QStringLiteral("continuityField"));
    inOut_->setObjectName(QStringLiteral("inOutField"));
    default_->setAutoDefault(false);
    cancel_->setAutoDefault(false);
    ok_->setDefault(true);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(tr("ループ回数MAX"), this), 0, 0);
    grid->addWidget(loop_, 0, 1);
    grid->addWidget(new QLabel(tr("収束半径"), this), 1, 0);
    grid->addWidget(convergence_, 1, 1);
    grid->addWidget(siegel_, 2, 0, 1, 2);
    grid->addWidget(new QLabel(tr("連続とみなす最大間隔"), this), 3, 0);
    grid->addWidget(continuity_, 3, 1);
    grid->addWidget(new QLabel(tr("In/Out判定"), this), 4, 0);
    grid->addWidget(inOut_, 4, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    buttons->addStretch(1);
    buttons->addWidget(default_);
    auto* row = new QHBoxLayout(this);
    row->addLayout(grid, 1);
    row->addLayout(buttons);

    fill(settings_);

    connect(loop_, &QLineEdit::textChanged, this, [this] { filterLoop(); });
    for (QLineEdit* field : {convergence_, continuity_, inOut_})
        connect(field, &QLineEdit::textChanged, this, [this, field] { filterTolerance(field); });
    connect(siegel_, &QCheckBox::toggled, this, [this](bool on) {
        if (!guard_) setSiegel(on);
    });
    connect(default_, &QPushButton::clicked, this, [this] { fill(frontend::Settings{}); });
    connect(ok_, &QPushButton::clicked, this, [this] {
        store();
        accept();
    });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, [] { platform::showHelpTopic(frontend::HELP_SETTINGS); });

    if (!editable) {
        for (QWidget* w : std::initializer_list<QWidget*>{loop_, convergence_, continuity_, inOut_, siegel_, default_})
            w->setEnabled(false);
    }
}

void SettingsDialog::fill(const frontend::Settings& values) {
    guard_ = true;
    loopShown_ = {fromStd(frontend::formatSettingInt(values.maxLoop)), static_cast<double>(values.maxLoop)};
    convergenceShown_ = {fromStd(frontend::formatSettingDouble(values.convEps)), values.convEps};
    continuityShown_ = {fromStd(frontend::formatSettingDouble(values.contEps)), values.contEps};
    inOutShown_ = {fromStd(frontend::formatSettingDouble(values.inoutEps)), values.inoutEps};
    loop_->setText(loopShown_.text);
    convergence_->setText(convergenceShown_.text);
    continuity_->setText(continuityShown_.text);
    inOut_->setText(inOutShown_.text);
    for (QLineEdit* field : {loop_, convergence_, continuity_, inOut_}) field->setCursorPosition(0);
    siegel_->setChecked(values.siegelFlag != 0);
    guard_ = false;
    setSiegel(values.siegelFlag != 0);
}

void SettingsDialog::setSiegel(bool on) {
    siegelCopy_ = on ? 1 : 0;
    // Only in an editable dialog do the two curve fields follow the box.
    if (siegel_->isEnabled()) {
        continuity_->setEnabled(on);
        inOut_->setEnabled(on);
    }
}

void SettingsDialog::filterLoop() {
    if (guard_) return;
    const QString text = loop_->text();
    int caret = static_cast<int>(text.left(loop_->cursorPosition()).toUtf8().size());
    const std::string filtered = frontend::filterLoopCountText(text.toStdString(), &caret);
    if (fromStd(filtered) == text) return;
    guard_ = true;
    rewrite(loop_, fromStd(filtered), caret);
    guard_ = false;
}

void SettingsDialog::filterTolerance(QLineEdit* field) {
    if (guard_) return;
    const QString text = field->text();
    const std::string utf8 = text.toStdString();
    const std::size_t valid = frontend::validNumberPrefix(utf8);
    if (valid == utf8.size()) return;
    guard_ = true;
    // The valid prefix is ASCII, so its byte length is its character length.
    rewrite(field, fromStd(utf8.substr(0, valid)), field->cursorPosition());
    guard_ = false;
}

void SettingsDialog::store() {
    settings_.siegelFlag = siegelCopy_;
    settings_.convEps = frontend::acceptTolerance(convergence_->text().toStdString(),
                                                  convergenceShown_.text.toStdString(),
                                                  convergenceShown_.value, settings_.convEps);
    settings_.maxLoop = frontend::acceptLoopCount(loop_->text().toStdString(), loopShown_.text.toStdString(),
                                                  static_cast<int>(loopShown_.value), settings_.maxLoop);
    settings_.contEps = frontend::acceptTolerance(continuity_->text().toStdString(),
                                                  continuityShown_.text.toStdString(),
                                                  continuityShown_.value, settings_.contEps);
    settings_.inoutEps = frontend::acceptTolerance(inOut_->text().toStdString(), inOutShown_.text.toStdString(),
                                                   inOutShown_.value, settings_.inoutEps);
}
