// The commands of the viewer's menus that the colouring and output side
// provides: colour settings, information dialogs, orbit display, formula
// saving, picture saving and printing.
//
// CMainFrame offers each command as a menu item (and tool bar button where
// it has one); an item whose hook is empty stays disabled. The executable
// fills the hooks when it builds the frame.
//
// The frame has already made the checks that belong to the menu itself
// before it calls a hook:
//  - colourSettings is called only when the picture is done (otherwise the
//    frame shows "描画が終わらないと設定できません。");
//  - orbitDisplay is called only for a Julia picture (otherwise the frame
//    shows "Mandelbrot集合では軌道表示はできません。");
//  - savePicture is called only when the picture is done (otherwise the
//    frame shows "描画が終わらないと保存できません。"), with the path the
//    user chose; it returns false when writing failed (having told the user).
//
// Everything a hook needs is reachable from the frame: session() (blocks,
// pixel maps, colour table, statistics), document() (the picture image),
// viewHandle() (the view to post MSG_RECOLOUR to), messageBoxes().
#pragma once

#include <QString>
#include <functional>

class CMainFrame;

struct ViewerDialogHooks {
    std::function<void(CMainFrame&)> colourSettings;  // "色の設定(&C)..." (32773)
    std::function<void(CMainFrame&)> componentInfo;   // "コンポネント(&M)..." (32771)
    std::function<void(CMainFrame&)> formulaInfo;     // "式の係数(&F)..." (32772)
    std::function<void(CMainFrame&)> orbitDisplay;    // "軌道表示(&O)..." (32774)
    std::function<void(CMainFrame&)> saveFormula;     // "式を保存(&F)..." (32775)
    std::function<bool(CMainFrame&, const QString& path)> savePicture;  // "画像を保存(&A)...", Ctrl+S
    std::function<void(CMainFrame&)> printPreview;    // "印刷(&P)..."
    std::function<void(CMainFrame&)> print;           // Ctrl+P
    std::function<void(CMainFrame&)> printSetup;      // "ﾌﾟﾘﾝﾀの設定(&R)..."
};
