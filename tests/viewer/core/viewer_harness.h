// A viewer window on blocks made in the test, in ordinary memory; the front end's main window is a
// handle of the test process that records every message the viewer posts.
#pragma once

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <vector>

#include "common/messages.h"
#include "platform/message_port_qt.h"
#include "platform/recording_message_boxes.h"
#include "test_blocks.h"
#include "viewer/core/control_ids.h"
#include "viewer/core/main_frame.h"
#include "viewer/core/parameter_bar.h"
#include "viewer/core/torvel_doc.h"
#include "viewer/core/torvel_view.h"
#include "viewer/core/viewer_session.h"

namespace viewer_test {

inline constexpr int FRONT_END_INDEX = 200;  // the stand-in front end's handle index
inline constexpr int WAIT_GUARD_MS = 60000;  // against hanging only

struct Posted { int msg = 0, wParam = 0, lParam = 0; };

// Picture parameters of a harness.
struct PictureSetup {
    char kind = 'J';
    int width = 600, height = 400, loopCount = 50;
    double radius = 1e-3, magnification = 0.25, centreRe = 0, centreIm = 0;
};

class ViewerHarness {
public:
    explicit ViewerHarness(const PictureSetup& setup) : block(setup.kind, 1 << 16) {
        block.setWindow(setup.width, setup.height, 1, {setup.centreRe, setup.centreIm}, setup.loopCount);
        block.view().magnification = setup.magnification;
        block.view().convergenceRadius = setup.radius;
        for (auto& c : block.view().colours) c = colour::defaultComponentColour(setup.loopCount);
        std::snprintf(block.header().title, sizeof block.header().title, "%s", setup.kind == 'M' ? "M1" : "J1");
        // z^2 - 1 unless a test sets another map.
        block.setMap(common::FORM_POLYNOMIAL, {{-1, 0}, {0, 0}, {1, 0}});
        frontEnd = render_test::frontEndBlock(common::FORM_POLYNOMIAL, {{0, 0}, {0, 0}, {1, 0}}, {{1, 0}},
                                              {{0, 0}}, {true});
        frontEnd->busyState = common::BUSY_IDLE;
        port().registerWindow(FRONT_END_INDEX, [this](int msg, int w, int l) { received.push_back({msg, w, l}); });
        frontEnd->mainWindow = platform::MessagePort::handleFor(FRONT_END_INDEX);
    }

    ~ViewerHarness() {
        frame.reset();
        // Messages still queued for the stand-in front end end here, not in
        // the next test's harness.
        QApplication::processEvents();
        port().unregisterWindow(platform::MessagePort::handleFor(FRONT_END_INDEX));
    }

    static platform::MessagePort& port() { return *platform::MessagePort::instance(); }

    // Builds the session and the frame (after the test has set up the blocks).
    CMainFrame& open() {
        session = viewer::ViewerSession::make(frontEnd.get(), sizeof(common::FrontEndBlock), &block.header(),
                                              block.size(), static_cast<int>(getpid()),
                                              [this] {
                                                  releasedWhileRendering = frame && frame->renderRunning();
                                                  ++releaseCount;
                                                  messagesAtRelease = received.size();
                                              });
        EXPECT_NE(session, nullptr);
        frame = std::make_unique<CMainFrame>(*session, port(), boxes);
        EXPECT_TRUE(frame->create());
        frame->show();
        return *frame;
    }

    ParameterBar& bar() { return *frame->parameterBar(); }
    QLineEdit* field(int id) { return bar().field(id); }

    // Lets posted messages arrive.
    void pump() { QApplication::processEvents(); }

    bool waitFor(const std::function<bool()>& condition) { return QTest::qWaitFor(condition, WAIT_GUARD_MS); }

    void pressDraw() {
        ASSERT_NE(bar().drawButton(), nullptr);
        bar().drawButton()->click();
    }

    bool drawToDone() {
        pressDraw();
        return waitFor([this] { return frame->state() == viewer::ViewerState::Done; });
    }

    render_test::TestBlock block;
    std::unique_ptr<common::FrontEndBlock> frontEnd;
    std::unique_ptr<viewer::ViewerSession> session;
    platform::RecordingMessageBoxes boxes;
    std::unique_ptr<CMainFrame> frame;
    std::vector<Posted> received;
    bool releasedWhileRendering = false;
    int releaseCount = 0;
    std::size_t messagesAtRelease = 0;
};

}  // namespace viewer_test
