// CTorvelView: one scrolled view of the picture (the splitter may hold up to
// four). It paints from the document's off-screen image, shows the plane
// point and the pixel's result under the mouse, and turns Shift and Ctrl
// picks into requests for new pictures.
//
// Messages (delivered through the process's message port to the handle the
// view registered):
//  - MSG_PAINT_COLUMNS (render thread): wParam first << 16 | last column,
//    lParam first << 16 | last window row; the document copies those
//    columns from the colour map and every view repaints them.
//  - MSG_SET_PICTURE_SIZE (frame, at draw start): width, height.
//  - MSG_RECOLOUR (colour dialogs): recolours the picture from the maps with
//    the colour table and repaints (only a finished picture).
//  - WM_MOUSEMOVE and WM_LBUTTONUP (control_ids.h): as the mouse would,
//    through showPointInfo and requestPicture.
//
// Readouts and picks act only when the picture is done; positions follow
// the scroll position.
//
// Thread-safety: interface thread only.
#pragma once

#include <QAbstractScrollArea>
#include <QPointer>
#include <cstdint>

class CMainFrame;
class CTorvelDoc;

class CTorvelView : public QAbstractScrollArea {
    Q_OBJECT
public:
    // Registers the view with the message port under handle number k
    // (pid * 256 + k).
    CTorvelView(CMainFrame& frame, CTorvelDoc& document, int k, QWidget* parent = nullptr);
    ~CTorvelView() override;

    std::int32_t handle() const { return handle_; }

    // The framework's initial update: total scroll size = picture size, page
    // 40 x 40, line 10 x 10; tells the frame this is now the view to draw in.
    void initialUpdate();

    QSize totalSize() const { return total_; }
    QPoint scrollPosition() const;

    // Readout of the window position (client coordinates of the viewport).
    void showPointInfo(const QPoint& clientPosition);
    // Left-button release with the given modifier state.
    void requestPicture(const QPoint& clientPosition, Qt::KeyboardModifiers modifiers, Qt::MouseButtons held);

    void onMessage(int message, int wParam, int lParam);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void setTotalSize(const QSize& total, int pageStep, int lineStep);
    void updateScrollBars();
    void repaintPicture(const QRect& pictureRect);
    // Picture pixel of a client position (scroll position added).
    QPoint picturePosition(const QPoint& clientPosition) const;

    CMainFrame& frame_;
    CTorvelDoc& document_;
    std::int32_t handle_ = 0;
    QSize total_;
    int pageStep_ = 40;
    int lineStep_ = 10;
};
