// ComponentSelectDialog ("コンポネント選択"): the components of a Julia
// picture, each with a thumbnail of where it lies (grey on white) and its
// pixel count. The list holds "無限遠", one entry per component entry and
// "不明" last. "設定" opens the colour dialog of the selected component, or
// the unknown colour dialog for "不明", when it has pixels; otherwise it
// shows "このコンポネントにはピクセルがないため色の設定はできません。".
// The dialog stays open until "閉じる". The thumbnails show the picture as
// it was when the dialog opened. F1 opens help topic 9020.
//
// Interface thread only.
#pragma once

#include "viewer/colour/colour_context.h"
#include "viewer/colour/component_masks.h"

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QListWidget;

class ComponentSelectDialog : public QDialog {
    Q_OBJECT
public:
    ComponentSelectDialog(const ColourContext& context, QWidget* parent = nullptr);

    QListWidget* list() const { return list_; }
    QLineEdit* pixelCountField() const { return pixelCount_; }
    QLabel* thumbnail() const { return thumbnail_; }
    const colour::ComponentMasks& masks() const { return masks_; }

    // "設定" for the selected entry.
    void setColour();

    // Opens the chosen dialog; tests replace it to see which would open.
    // Arguments: component code (0..K), or -1 for the unknown colour.
    std::function<void(int code)> openDialog;

    static constexpr const char* NO_PIXELS_MESSAGE =
        QT_TRANSLATE_NOOP("Texts", "このコンポネントにはピクセルがないため色の設定はできません。");

private:
    void showEntry(int row);
    int unknownRow() const;

    ColourContext context_;
    colour::ComponentMasks masks_;
    QListWidget* list_ = nullptr;
    QLabel* thumbnail_ = nullptr;
    QLineEdit* pixelCount_ = nullptr;
};
