// The main window keeps its graph in step with its buttons and fields, on
// the offscreen platform: the mode group and the text and numeric fields an
// analyst leaves.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "app/qt/KelViewWindow.h"
#include "app/qt/SessionBinding.h"
#include "kinetics/KineticsLibrary.h"
#include "plot/qt/FloatEdit.h"
#include "support/SessionTestSupport.h"
#include "synth/KineticsGenerator.h"

namespace kel {
namespace {

class MainWindowShownResults : public ::testing::Test {
protected:
    MainWindowShownResults() { test::UseKinetics(synth::DemoKineticsText()); }
    ~MainWindowShownResults() override { KineticsLibrary().Clear(); }

    void Open() {
        window = std::make_unique<TFKelView>(session, store);
        window->resize(1500, 800);
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        window->Binding().ShowError = [this](const QString& message) { errors << message; };
        ASSERT_TRUE(window->ShowProfile(QString::fromStdString(std::string(KELVIEW_SOURCE_DIR) + "/demo/breath-01.kel")));
    }
    template <typename T>
    T* Find(const char* name) const {
        return window->findChild<T*>(QLatin1String(name));
    }
    std::vector<std::string> Results() const {
        std::vector<std::string> texts;
        for (const TComment& c : test::CommentsWithTag(session.Graph1(), 0)) texts.push_back(c.Text);
        return texts;
    }
    // Typed into a field, which is then left for another.
    static void TypeAndLeave(QLineEdit* field, const QString& text, QWidget* next) {
        field->setFocus(Qt::TabFocusReason);
        field->selectAll();
        QTest::keyClicks(field, text);
        next->setFocus(Qt::TabFocusReason);
    }

    test::RecordedMessages boxes;
    MemorySettings store;
    TKelViewSession session{test::TestServices()};
    std::unique_ptr<TFKelView> window;
    QStringList errors;
};

TEST_F(MainWindowShownResults, PressingAndReleasingIntermediateResultsLeavesCountRatesShown) {
    Open();
    Find<QAction>("BtnPpb")->trigger();
    Find<QAction>("btSelectAll")->trigger();
    ASSERT_EQ(session.Graph1().TitleLeft(), "ppb");
    ASSERT_TRUE(Find<QGroupBox>("pnPPB")->isVisible());
    Find<QAction>("sbInfo")->trigger();
    Find<QAction>("sbInfo")->trigger();
    for (const char* button : {"BtnPpb", "btnIR", "sbInfo"}) EXPECT_FALSE(Find<QAction>(button)->isChecked()) << button;
    EXPECT_FALSE(Find<QGroupBox>("pnPPB")->isVisible());
    // The picture is the count rates': their axis title, a curve per channel
    // and their total, and a result line per channel under its name.
    EXPECT_EQ(session.Graph1().TitleLeft(), "c/s");
    EXPECT_EQ(session.Graph1().Curves.Count(), session.Profile().nim / 2 + 1);
    const std::vector<std::string> lines = Results();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].rfind(session.Profile().Name[1], 0), 0u) << lines[0];
    EXPECT_EQ(session.LogContext().mode, TPlotMode::Rate);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(MainWindowShownResults, EditingTheCommentOrARefusedValueKeepsTheResults) {
    Open();
    window->Binding().Run([](TKelViewSession& s) { s.SelectTimes(20 * s.PointTime(), 80 * s.PointTime()); });
    const std::vector<std::string> shown = Results();
    ASSERT_GT(shown.size(), 3u);
    ASSERT_NE(shown[0].find("±"), std::string::npos) << shown[0];
    auto* comment = Find<QLineEdit>("edComment");
    auto* sample = Find<QLineEdit>("edSample");

    TypeAndLeave(comment, QStringLiteral("after lunch"), sample);
    EXPECT_EQ(session.Profile().comment, "after lunch");
    EXPECT_EQ(Results(), shown);

    // 150 is past Df73's range: the box, the field keeps 15, typed on the way.
    auto* df73 = Find<TFloatEdit>("feDf73");
    TypeAndLeave(df73, QStringLiteral("150"), comment);
    ASSERT_FALSE(boxes.shown.empty());
    EXPECT_EQ(boxes.Texts().back(), "150 is not in the range from 0.05 to 100");
    comment->setFocus(Qt::TabFocusReason);
    TypeAndLeave(comment, QStringLiteral("after lunch, again"), sample);
    const std::vector<std::string> after = Results();
    ASSERT_EQ(after.size(), shown.size());
    EXPECT_NE(after[0].find("±"), std::string::npos) << after[0];
    EXPECT_EQ(after[0].rfind(session.Profile().Name[1], 0), 0u) << after[0];
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

}  // namespace
}  // namespace kel
