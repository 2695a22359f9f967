// The main window bound to a session, driven with real mouse events: what a
// drag, a failing command and a nested command show.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include "app/qt/GraphPanel.h"
#include "app/qt/KelViewWindow.h"
#include "app/qt/QtDateTextFormatter.h"
#include "app/qt/SessionBinding.h"
#include "common/DateTime.h"
#include "common/Errors.h"
#include "plot/qt/XYGraphBox.h"
#include "support/SessionTestSupport.h"

namespace kel {
namespace {

class MainWindowBinding : public ::testing::Test {
protected:
    MainWindowBinding() : window(session, store) {
        window.resize(900, 600);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        binding().ShowError = [this](const QString& message) { errors << message; };
    }
    TSessionBinding& binding() { return window.Binding(); }

    test::RecordedMessages boxes;
    test::ScratchDir dir;
    MemorySettings store;
    TKelViewSession session{test::TestServices()};
    TFKelView window;
    QStringList errors;
};

TEST_F(MainWindowBinding, ADragOnTheGraphSelectsAndEachPanelHearsItsPart) {
    ASSERT_TRUE(window.ShowProfile(QString::fromStdString(test::SaveProfile(dir, test::ConstantProfile(3)))));
    TXYGraphBox& box = *window.Graphs().XYGraphBox1();
    QCoreApplication::processEvents();
    QSignalSpy selection(&binding(), &TSessionBinding::SelectionChanged);
    QSignalSpy fields(&binding(), &TSessionBinding::FieldsChanged);
    QSignalSpy results(&binding(), &TSessionBinding::ResultsChanged);
    const TRect plot = session.Graph1().PlotRect;
    const int x0 = plot.left + 100, x1 = plot.left + 300;
    QTest::mousePress(&box, Qt::LeftButton, {}, QPoint(x0, 100));
    QTest::mouseMove(&box, QPoint(x1, 120));
    QTest::mouseRelease(&box, Qt::LeftButton, {}, QPoint(x1, 120));
    EXPECT_EQ(selection.count(), 1);
    EXPECT_EQ(results.count(), 1);
    EXPECT_EQ(fields.count(), 0);
    EXPECT_DOUBLE_EQ(session.Selection()[0], session.Graph1().PixelToX(x0));
    EXPECT_DOUBLE_EQ(session.Selection()[1], session.Graph1().PixelToX(x1));
    EXPECT_EQ(box.Selection(0), session.Selection()[0]);  // the band follows
    EXPECT_EQ(box.Selection(1), session.Selection()[1]);
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(MainWindowBinding, AFailingCommandIsShownAndWhatItChangedIsAnnounced) {
    QSignalSpy modes(&binding(), &TSessionBinding::ModesChanged);
    const bool ok = binding().Run([](TKelViewSession& s) {
        s.sbKeepLogClick();
        throw EConvertError("Floating point overflow");
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(errors, QStringList{QStringLiteral("Floating point overflow")});
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(modes.count(), 1);
    EXPECT_TRUE(session.KeepLogDown());

    // A profile that cannot be read: its box, and the window goes on.
    window.ShowProfile(QString::fromStdString(dir.File("missing.kel")));
    ASSERT_FALSE(boxes.shown.empty());
    EXPECT_EQ(boxes.shown[0].second.rfind("Open Error!", 0), 0u) << boxes.shown[0].second;
    EXPECT_TRUE(session.Ready());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(MainWindowBinding, ACommandInsideACommandReportsOnceWithTheOuterOne) {
    QSignalSpy changed(&binding(), &TSessionBinding::Changed);
    binding().Run([this, &changed](TKelViewSession& s) {
        s.sbKeepLogClick();
        binding().Run([](TKelViewSession& inner) { inner.cbT0StartClick(); });
        EXPECT_EQ(changed.count(), 0);
    });
    EXPECT_EQ(changed.count(), 1);
}

TEST(QtDateText, NoTimeAtMidnight) {
    QtDateTextFormatter formatter;
    const std::string midnight = formatter.DateTimeText(EncodeDateTime({2025, 12, 9, 0, 0, 0, 0}));
    const std::string morning = formatter.DateTimeText(EncodeDateTime({2025, 12, 9, 10, 30, 5, 0}));
    EXPECT_EQ(midnight.find(':'), std::string::npos) << midnight;
    EXPECT_EQ(morning.rfind(midnight + " ", 0), 0u) << morning;
    EXPECT_NE(morning.find("30"), std::string::npos) << morning;
}

}  // namespace
}  // namespace kel
