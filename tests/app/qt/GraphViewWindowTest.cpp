// The main window's graph as a workbench, driven with real wheel, mouse and
// key events on the offscreen platform: zoom, pan, back and forward, and
// the values under the cursor.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QWheelEvent>

#include "app/qt/GraphPanel.h"
#include "app/qt/KelViewWindow.h"
#include "app/qt/MainCommands.h"
#include "app/qt/SessionBinding.h"
#include "plot/qt/XYGraphBox.h"
#include "support/SessionTestSupport.h"

namespace kel {
namespace {

class GraphViewWindow : public ::testing::Test {
protected:
    GraphViewWindow() : window(session, store) {
        window.resize(1000, 700);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        window.Binding().ShowError = [this](const QString& message) { errors << message; };
        EXPECT_TRUE(window.ShowProfile(QString::fromStdString(test::SaveProfile(dir, test::GrowingProfile()))));
        QCoreApplication::processEvents();
    }
    TXYGraphBox& box() { return *window.Graphs().XYGraphBox1(); }
    const TXYGraph& graph() const { return session.Graph1(); }
    void Wheel(QPoint at, int delta, Qt::KeyboardModifiers modifiers = {}) {
        QWheelEvent event(at, box().mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&box(), &event);
    }
    void Move(QPoint at, Qt::MouseButtons buttons = Qt::NoButton) {
        QMouseEvent event(QEvent::MouseMove, at, box().mapToGlobal(at), Qt::NoButton, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(&box(), &event);
    }
    QString StatusReadout() const { return window.findChild<QLabel*>(QStringLiteral("StatusReadout"))->text(); }
    QPoint InPlot(double shareX, double shareY) const {
        const TRect& r = graph().PlotRect;
        return {r.left + static_cast<int>(shareX * (r.right - r.left)), r.top + static_cast<int>(shareY * (r.bottom - r.top))};
    }

    test::RecordedMessages boxes;
    test::ScratchDir dir;
    MemorySettings store;
    TKelViewSession session{test::TestServices()};
    TFKelView window;
    QStringList errors;
};

TEST_F(GraphViewWindow, WheelZoomKeepsTheTimeUnderTheCursorAndCtrlWheelZoomsTheValues) {
    const QPoint at = InPlot(0.3, 0.5);
    const double time = graph().PixelToX(at.x());
    const double span = graph().xmax() - graph().xmin();
    const double ymin = graph().Ymin(), ymax = graph().Ymax();
    Wheel(at, 120);
    Wheel(at, 240);
    EXPECT_NEAR(graph().PixelToX(at.x()), time, 1e-9 * span);
    EXPECT_NEAR(graph().xmax() - graph().xmin(), span * 0.8 * 0.8 * 0.8, 1e-9 * span);
    EXPECT_EQ(graph().Ymin(), ymin);  // the plain wheel leaves the values
    const double xmin = graph().xmin();
    Wheel(at, -120, Qt::ControlModifier);  // out, in decades of the log axis
    EXPECT_EQ(graph().xmin(), xmin);
    EXPECT_LT(graph().Ymin(), ymin);
    EXPECT_GT(graph().Ymax(), ymax);
    QCoreApplication::processEvents();
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(GraphViewWindow, BackAndForwardByKeysAndMouseButtonsReturnTheExactRanges) {
    const TAxesState shown = AxesOf(graph());
    Wheel(InPlot(0.6, 0.5), 120);
    const TAxesState zoomed = AxesOf(graph());
    // A middle-button drag pans as one step.
    QTest::mousePress(&box(), Qt::MiddleButton, {}, InPlot(0.5, 0.5));
    Move(InPlot(0.4, 0.5), Qt::MiddleButton);
    Move(InPlot(0.3, 0.5), Qt::MiddleButton);
    QTest::mouseRelease(&box(), Qt::MiddleButton, {}, InPlot(0.3, 0.5));
    const TAxesState panned = AxesOf(graph());
    EXPECT_GT(panned.xmin, zoomed.xmin);  // dragged left: later times
    // Shift + left drag pans too and leaves the selection alone.
    const auto selection = session.Selection();
    box().setFocus();
    QTest::keyClick(&box(), Qt::Key_Right);  // an arrow key pans as well
    const TAxesState arrowed = AxesOf(graph());
    QTest::mousePress(&box(), Qt::LeftButton, Qt::ShiftModifier, InPlot(0.5, 0.5));
    Move(InPlot(0.5, 0.3), Qt::LeftButton);
    QTest::mouseRelease(&box(), Qt::LeftButton, Qt::ShiftModifier, InPlot(0.5, 0.3));
    const TAxesState shifted = AxesOf(graph());
    EXPECT_EQ(session.Selection(), selection);
    EXPECT_NE(shifted.Ymin, arrowed.Ymin);

    QTest::keyClick(&window, Qt::Key_Left, Qt::AltModifier);
    EXPECT_TRUE(SameAxes(AxesOf(graph()), arrowed));
    QTest::mouseClick(&box(), Qt::BackButton, {}, InPlot(0.5, 0.5));
    EXPECT_TRUE(SameAxes(AxesOf(graph()), panned));
    window.Commands().Action("ViewBack1")->trigger();
    EXPECT_TRUE(SameAxes(AxesOf(graph()), zoomed));
    QTest::keyClick(&window, Qt::Key_Left, Qt::AltModifier);
    EXPECT_TRUE(SameAxes(AxesOf(graph()), shown));
    QTest::mouseClick(&box(), Qt::ForwardButton, {}, InPlot(0.5, 0.5));
    EXPECT_TRUE(SameAxes(AxesOf(graph()), zoomed));
    QTest::keyClick(&window, Qt::Key_Right, Qt::AltModifier);
    EXPECT_TRUE(SameAxes(AxesOf(graph()), panned));
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(GraphViewWindow, TheReadoutFollowsTheMouseListsTheValuesAndGivesWayToADrag) {
    window.Commands().Action("btnApplyDeMr")->trigger();  // "correct" up: plain rates
    ASSERT_FALSE(session.CorrectDown());
    // Over point 37 (22.2 s) at the row of channel 55's 5700 c/s.
    const QPoint at(graph().XToPixel(22.2), graph().YToPixel(5700));
    Move(at);
    ASSERT_TRUE(box().CursorShown());
    EXPECT_EQ(box().CursorX(), at.x());
    EXPECT_EQ(StatusReadout(), QStringLiteral("t=22.20 s (10:30:51)  55: 5700 c/s"));
    EXPECT_FALSE(box().CursorBox().isEmpty());
    EXPECT_TRUE(box().rect().contains(box().CursorBox()));

    // A zoom under a still mouse reads the point now under it.
    Wheel(at, 120);
    QCoreApplication::processEvents();
    EXPECT_TRUE(StatusReadout().startsWith(QStringLiteral("t=22.20 s")));

    // A selection drag hides it: only the drag's feedback is drawn.
    QTest::mousePress(&box(), Qt::LeftButton, {}, at);
    EXPECT_FALSE(box().CursorShown());
    Move(at + QPoint(80, 0), Qt::LeftButton);
    EXPECT_FALSE(box().CursorShown());
    QTest::mouseRelease(&box(), Qt::LeftButton, {}, at + QPoint(80, 0));

    Move(at);
    ASSERT_TRUE(box().CursorShown());
    box().setFocus();
    QTest::keyClick(&box(), Qt::Key_Escape);
    EXPECT_FALSE(box().CursorShown());
    EXPECT_TRUE(StatusReadout().isEmpty());
    Move(at);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&box(), &leave);
    EXPECT_FALSE(box().CursorShown());

    // Off the plot area there is nothing to read.
    Move(QPoint(2, 2));
    EXPECT_FALSE(box().CursorShown());

    // The setting turns it off and is remembered.
    QAction* setting = window.Commands().Action("CursorValues1");
    ASSERT_TRUE(setting->isChecked());
    setting->trigger();
    EXPECT_FALSE(setting->isChecked());
    Move(at);
    EXPECT_FALSE(box().CursorShown());
    session.SaveSettings(store);
    EXPECT_EQ(store.ReadInteger("View", "CursorReadout", 1), 0);
    EXPECT_TRUE(errors.isEmpty());
}

}  // namespace
}  // namespace kel
