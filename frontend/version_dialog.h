// "Halvatrineのﾊﾞｰｼﾞｮﾝ情報": the program icon, the version text and OK.
#pragma once

#include <QDialog>

inline constexpr const char* VERSION_TEXT = "Halvatrine Version 01-00";

class VersionDialog : public QDialog {
    Q_OBJECT
public:
    explicit VersionDialog(QWidget* parent = nullptr);
};
