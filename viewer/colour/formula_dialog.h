// FormulaDialog ("式"): every coefficient of the picture's map in one
// read-only field. F1 opens help topic 9023.
//
// Interface thread only.
#pragma once

#include "common/block_layout.h"

#include <QDialog>

class QPlainTextEdit;

class FormulaDialog : public QDialog {
    Q_OBJECT
public:
    explicit FormulaDialog(const common::RationalMap& map, QWidget* parent = nullptr);

    QPlainTextEdit* field() const { return field_; }

private:
    QPlainTextEdit* field_ = nullptr;
};
