#include "viewer/core/torvel_view.h"

#include <QFocusEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "viewer/core/control_ids.h"

#include "common/messages.h"
#include "platform/message_box.h"
#include "platform/message_port_qt.h"
#include "viewer/colour/colour_model.h"
#include "viewer/core/main_frame.h"
#include "viewer/core/parameter_bar.h"
#include "viewer/core/parameter_fields.h"
#include "viewer/core/point_info.h"
#include "viewer/core/torvel_doc.h"

using viewer::ViewerState;

namespace {
// The framework's scroll steps after a size change: a tenth of the size per
// page and a tenth of a page per line.
int defaultPage(int total) { return std::max(1, total / 10); }
int defaultLine(int page) { return std::max(1, page / 10); }
}  // namespace

CTorvelView::CTorvelView(CMainFrame& frame, CTorvelDoc& document, int k, QWidget* parent)
    : QAbstractScrollArea(parent), frame_(frame), document_(document) {
    setObjectName(QStringLiteral("CTorvelView%1").arg(k));
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    setMouseTracking(true);
    setMinimumSize(10, 10);
    handle_ = frame_.messagePort().registerWindow(k, [this](int message, int wParam, int lParam) {
        onMessage(message, wParam, lParam);
    });
    connect(&document_, &CTorvelDoc::pictureChanged, this, &CTorvelView::repaintPicture);
    connect(&document_, &CTorvelDoc::pictureResized, this, [this](const QSize& size) {
        if (size != total_) setTotalSize(size, defaultPage(size.height()), defaultLine(defaultPage(size.height())));
    });
}

CTorvelView::~CTorvelView() { frame_.messagePort().unregisterWindow(handle_); }

void CTorvelView::initialUpdate() {
    setTotalSize(document_.pictureSize(), 40, 10);
    frame_.setPaintTarget(this);
}

void CTorvelView::setTotalSize(const QSize& total, int pageStep, int lineStep) {
    total_ = total;
    pageStep_ = pageStep;
    lineStep_ = lineStep;
    updateScrollBars();
    viewport()->update();
}

void CTorvelView::updateScrollBars() {
    const QSize area = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, total_.width() - area.width()));
    verticalScrollBar()->setRange(0, std::max(0, total_.height() - area.height()));
    horizontalScrollBar()->setPageStep(pageStep_);
    verticalScrollBar()->setPageStep(pageStep_);
    horizontalScrollBar()->setSingleStep(lineStep_);
    verticalScrollBar()->setSingleStep(lineStep_);
}

QPoint CTorvelView::scrollPosition() const {
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

QPoint CTorvelView::picturePosition(const QPoint& clientPosition) const {
    return clientPosition + scrollPosition();
}

void CTorvelView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void CTorvelView::scrollContentsBy(int, int) { viewport()->update(); }

void CTorvelView::repaintPicture(const QRect& pictureRect) {
    viewport()->update(pictureRect.translated(-scrollPosition()));
}

void CTorvelView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QPoint origin = -scrollPosition();
    const QRect pictureRect(origin, document_.pictureSize());
    const QRect dirty = event->rect();
    // Outside the picture the view shows its plain background.
    const QRegion background = QRegion(dirty).subtracted(QRegion(pictureRect));
    for (const QRect& r : background) painter.fillRect(r, palette().color(QPalette::Window));
    const QRect shown = dirty.intersected(pictureRect);
    if (!shown.isEmpty()) painter.drawImage(shown.topLeft(), document_.picture(), shown.translated(-origin));
}

void CTorvelView::mouseMoveEvent(QMouseEvent* event) {
    showPointInfo(event->position().toPoint());
    QAbstractScrollArea::mouseMoveEvent(event);
}

void CTorvelView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) requestPicture(event->position().toPoint(), event->modifiers(), event->buttons());
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void CTorvelView::focusOutEvent(QFocusEvent* event) {
    if (frame_.state() == ViewerState::Done && frame_.parameterBar() != nullptr)
        frame_.parameterBar()->setReadouts(QString(), QString());
    QAbstractScrollArea::focusOutEvent(event);
}

void CTorvelView::showPointInfo(const QPoint& clientPosition) {
    if (frame_.state() != ViewerState::Done || frame_.parameterBar() == nullptr) return;
    viewer::ViewerSession& session = frame_.session();
    if (!session.blocksAvailable()) return;
    const QPoint p = picturePosition(clientPosition);
    const int width = document_.pictureSize().width();
    const int height = document_.pictureSize().height();
    if (p.x() < 0 || p.x() >= width || p.y() < 0 || p.y() >= height) {
        frame_.parameterBar()->setReadouts(QString(), QString());
        return;
    }
    const common::ViewRecord& view = session.header().currentView;
    const viewer::PlanePoint point = viewer::windowToPlane(p.x(), p.y(), width, height, frame_.drawnMagnification(),
                                                           view.centreRe, view.centreIm);
    const int mapY = height - 1 - p.y();
    const int count = session.maps().iteration[p.x()][mapY];
    const int code = render::signedComponentCode(session.maps().component[p.x()][mapY]);
    const std::string info = viewer::pointInfoText(session.isJulia(), count, code, session.analysis().components);
    frame_.parameterBar()->setReadouts(QString::fromStdString(viewer::mousePositionText(point)),
                                       QString::fromStdString(info));
}

void CTorvelView::requestPicture(const QPoint& clientPosition, Qt::KeyboardModifiers modifiers,
                                 Qt::MouseButtons held) {
    if (frame_.state() != ViewerState::Done) return;
    viewer::ViewerSession& session = frame_.session();
    if (!session.blocksAvailable() || session.busyState() != common::BUSY_IDLE) return;
    const Qt::KeyboardModifiers keys = modifiers & (Qt::ShiftModifier | Qt::ControlModifier);
    const bool otherButtons = (held & ~Qt::MouseButtons(Qt::LeftButton)) != Qt::NoButton;
    if (otherButtons) return;

    int requestedKind = 0;
    if (keys == Qt::ShiftModifier) {
        if (!(session.header().drawnView.magnification > 0.0)) {
            frame_.messageBoxes().showMessage(viewer::MSG_MAGNIFICATION_ZERO);
            return;
        }
        requestedKind = session.pictureKindCode();
    } else if (keys == Qt::ControlModifier && session.analysis().pictureKind == 'M') {
        requestedKind = 'J';
    } else {
        return;
    }

    common::ViewRecord& drawn = session.header().drawnView;
    // The new viewer starts with these colours; its count ranges are reset.
    for (int i = 0; i < common::COLOUR_RECORD_COUNT; ++i) {
        drawn.colours[i] = session.colourTable().records[static_cast<std::size_t>(i)];
        drawn.colours[i].lowCount = 0;
        drawn.colours[i].highCount = drawn.loopCount;
    }
    const QPoint p = picturePosition(clientPosition);
    const common::ViewRecord& current = session.header().currentView;
    const viewer::PlanePoint point =
        viewer::windowToPlane(p.x(), p.y(), document_.pictureSize().width(), document_.pictureSize().height(),
                              frame_.drawnMagnification(), current.centreRe, current.centreIm);
    drawn.centreRe = point.re;
    drawn.centreIm = point.im;
    frame_.postToFrontEnd(common::MSG_NEW_PICTURE, session.processId(), requestedKind);
}

void CTorvelView::onMessage(int message, int wParam, int lParam) {
    switch (message) {
        case common::MSG_PAINT_COLUMNS:
            document_.updateColumns(common::highHalf(wParam), common::lowHalf(wParam), common::highHalf(lParam),
                                    common::lowHalf(lParam));
            break;
        case common::MSG_SET_PICTURE_SIZE: {
            const QSize size(std::clamp(wParam, 0, viewer::MAX_PICTURE_SIZE),
                             std::clamp(lParam, 0, viewer::MAX_PICTURE_SIZE));
            document_.setPictureSize(size.width(), size.height());
            if (size != total_) setTotalSize(size, defaultPage(size.height()), defaultLine(defaultPage(size.height())));
            break;
        }
        case common::MSG_RECOLOUR: {
            // Only a finished picture is recoloured: during a render the
            // render thread owns the maps and reads the colour table.
            viewer::ViewerSession& session = frame_.session();
            if (frame_.state() != ViewerState::Done || !session.blocksAvailable()) break;
            const QSize size = document_.pictureSize();
            colour::recolourPicture(session.maps(), size.width(), size.height(), session.colourTable(),
                                    static_cast<common::ColourWord>(session.header().currentView.unknownColour));
            document_.updateAll();
            break;
        }
        case viewer::WM_MOUSEMOVE:
        case viewer::WM_LBUTTONUP: {
            const QPoint client(static_cast<std::int16_t>(lParam & 0xFFFF), static_cast<std::int16_t>((lParam >> 16) & 0xFFFF));
            if (message == viewer::WM_MOUSEMOVE) {
                showPointInfo(client);
                break;
            }
            Qt::KeyboardModifiers keys;
            if (wParam & viewer::MK_SHIFT) keys |= Qt::ShiftModifier;
            if (wParam & viewer::MK_CONTROL) keys |= Qt::ControlModifier;
            Qt::MouseButtons held;
            if (wParam & viewer::MK_RBUTTON) held |= Qt::RightButton;
            if (wParam & viewer::MK_MBUTTON) held |= Qt::MiddleButton;
            requestPicture(client, keys, held);
            break;
        }
        default: break;
    }
}
