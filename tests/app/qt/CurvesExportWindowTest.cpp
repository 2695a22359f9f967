// The Curves panel, the exports of the File menu and the clock-time axis,
// driven through the main window's real widgets on the offscreen platform.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QListWidget>
#include <QTest>

#include "app/qt/CurvesPanel.h"
#include "app/qt/ExportCommands.h"
#include "app/qt/GraphPanel.h"
#include "app/qt/KelViewWindow.h"
#include "app/qt/MainCommands.h"
#include "app/qt/SessionBinding.h"
#include "kinetics/KineticsLibrary.h"
#include "plot/CurveColors.h"
#include "plot/qt/QtCanvas.h"
#include "plot/qt/XYGraphBox.h"
#include "support/SessionTestSupport.h"

namespace kel {
namespace {

// The result and info lines end above this row of the main graph.
constexpr int kBelowTexts = 160;

// Whether the SVG draws a line or path with a pen of this colour ("#d0c000");
// texts in the colour do not count.
bool DrawsLinesIn(const QString& svg, const QString& colour) {
    const QString stroke = QStringLiteral("stroke=\"") + colour + QLatin1Char('"');
    for (qsizetype at = svg.indexOf(QStringLiteral("<g ")); at >= 0; at = svg.indexOf(QStringLiteral("<g "), at + 1)) {
        const qsizetype open = svg.indexOf(QLatin1Char('>'), at);
        const qsizetype close = svg.indexOf(QStringLiteral("</g>"), at);
        if (open < 0 || close < 0) break;
        if (!svg.mid(at, open - at).contains(stroke, Qt::CaseInsensitive)) continue;
        const QString body = svg.mid(open, close - open);
        if (body.contains(QStringLiteral("<polyline")) || body.contains(QStringLiteral("<path"))) return true;
    }
    return false;
}

class CurvesExportWindow : public ::testing::Test {
protected:
    CurvesExportWindow() : window(session, store) {
        KineticsLibrary().Clear();
        session.SetLogFileName(dir.File("multilog.csv"));
        window.resize(1000, 700);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        window.Binding().ShowError = [this](const QString& message) { errors << message; };
        EXPECT_TRUE(window.ShowProfile(QString::fromStdString(test::SaveProfile(dir, test::GrowingProfile()))));
        QCoreApplication::processEvents();
    }
    TXYGraphBox& box() { return *window.Graphs().XYGraphBox1(); }
    QAction& Action(const char* name) {
        QAction* action = window.Commands().Action(name);
        EXPECT_NE(action, nullptr) << name;
        return *action;
    }
    QListWidgetItem* Item(const QString& name) {
        QListWidget* list = window.Curves().List();
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->data(Qt::AccessibleTextRole).toString() == name) return list->item(i);
        return nullptr;
    }
    // Pixels of the main graph's plot area in exactly this colour, below the
    // lines of text at its top.
    int PixelsOf(TColor color) {
        box().repaint();
        const QImage image = box().grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRgb wanted = ToQColor(color).rgb();
        int n = 0;
        for (int y = kBelowTexts; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == wanted;
        return n;
    }
    QString ExportSvg(const std::string& name) {
        const QString path = QString::fromStdString(dir.File(name));
        window.Exports().AskImage = [path](QSize) { return TImageExportChoice{path, QSize(640, 400)}; };
        Action("ExportImage1").trigger();
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        return QString::fromUtf8(file.readAll());
    }
    std::string LastLogLine() const {
        const std::string log = test::ReadFile(session.LogFileName());
        const std::size_t end = log.find_last_not_of("\r\n");
        const std::size_t start = log.find_last_of('\n', end);
        return log.substr(start == std::string::npos ? 0 : start + 1, end - (start == std::string::npos ? 0 : start + 1) + 1);
    }

    test::RecordedMessages boxes;
    test::ScratchDir dir;
    MemorySettings store;
    TKelViewSession session{test::TestServices()};
    TFKelView window;
    QStringList errors;
};

TEST_F(CurvesExportWindow, TheCurvesPanelHidesACurveFromThePictureAndAutoscaleButNotFromTheLog) {
    EXPECT_FALSE(window.Curves().isVisible());
    Action("Curves1").trigger();
    QCoreApplication::processEvents();
    ASSERT_TRUE(window.Curves().isVisible());
    EXPECT_TRUE(Action("Curves1").isChecked());
    EXPECT_EQ(window.Curves().objectName(), QStringLiteral("CurvesPanel"));
    ASSERT_EQ(window.Curves().List()->count(), 4);
    QListWidgetItem* total = Item(QStringLiteral("(total)"));
    ASSERT_NE(total, nullptr);
    EXPECT_EQ(total->checkState(), Qt::Checked);
    EXPECT_TRUE(total->text().contains(QStringLiteral("c/s")));

    window.Binding().Run([](TKelViewSession& s) { s.btLogResultsClick(); });
    const std::string logged = LastLogLine();
    const TColor totalColor = CurveColor(13);
    EXPECT_GT(PixelsOf(totalColor), 0);
    const double ymax = session.Graph1().Ymax();

    total->setCheckState(Qt::Unchecked);  // as the user's tick does
    QCoreApplication::processEvents();
    EXPECT_TRUE(session.Graph1().Curves[3]->Hidden);
    EXPECT_EQ(PixelsOf(totalColor), 0);
    EXPECT_LT(session.Graph1().Ymax(), ymax);
    Action("ShowAll1").trigger();
    EXPECT_LT(session.Graph1().Ymax(), ymax);  // "Show all" leaves it out too
    window.Binding().Run([](TKelViewSession& s) { s.btLogResultsClick(); });
    EXPECT_EQ(LastLogLine(), logged);

    // A click on the dimmed result line shows the curve again, and the panel follows.
    const TComment* line = nullptr;
    for (const TComment& comment : session.Graph1().Comments)
        if (comment.Tag == 0 && comment.PosY == 50 + 20 * 3 && comment.PosX == 80) line = &comment;
    ASSERT_NE(line, nullptr);
    QTest::mouseClick(&box(), Qt::LeftButton, {}, QPoint(static_cast<int>(line->PosX) + 6, static_cast<int>(line->PosY) + 6));
    QCoreApplication::processEvents();
    EXPECT_FALSE(session.Graph1().Curves[3]->Hidden);
    EXPECT_EQ(Item(QStringLiteral("(total)"))->checkState(), Qt::Checked);
    EXPECT_GT(PixelsOf(totalColor), 0);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(CurvesExportWindow, ExportedPicturesAndWindowDataReadBackWithWhatTheWindowShows) {
    const int widthShown = session.Graph1().Width();
    ASSERT_NE(widthShown, 640);
    const QString shown = ExportSvg("shown.svg");
    EXPECT_TRUE(shown.contains(QStringLiteral("<svg")));
    const QString totalPen = QStringLiteral("#d0c000");  // the total's curve
    EXPECT_TRUE(DrawsLinesIn(shown, totalPen));
    EXPECT_TRUE(DrawsLinesIn(shown, QStringLiteral("#ff0000")));  // channel 37
    EXPECT_TRUE(shown.contains(QStringLiteral("time [s]")));

    window.Binding().Run([](TKelViewSession& s) { s.SetCurveHidden("(total)", true); });
    Action("ClockTime1").trigger();
    ASSERT_TRUE(Action("ClockTime1").isChecked());
    const QString clock = ExportSvg("clock.svg");
    EXPECT_FALSE(DrawsLinesIn(clock, totalPen));
    EXPECT_TRUE(DrawsLinesIn(clock, QStringLiteral("#ff0000")));
    EXPECT_TRUE(clock.contains(QStringLiteral("time of day")));
    // The oldest point is 10:30:29.4 and the newest two minutes later.
    EXPECT_TRUE(clock.contains(QStringLiteral(">10:31")));
    EXPECT_FALSE(shown.contains(QStringLiteral(">10:31")));
    // The graph the window shows keeps its own size after a picture of another.
    EXPECT_EQ(session.Graph1().Width(), widthShown);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();

    const QString wrong = QString::fromStdString(dir.File("graph.bmp"));
    window.Exports().AskImage = [wrong](QSize) { return TImageExportChoice{wrong, QSize(640, 400)}; };
    Action("ExportImage1").trigger();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(wrong));
    EXPECT_FALSE(QFile::exists(wrong));

    window.Binding().Run([](TKelViewSession& s) { s.SelectTimes(6, 7.2); });
    const QString csv = QString::fromStdString(dir.File("window.csv"));
    window.Exports().AskDataPath = [csv] { return csv; };
    Action("ExportData1").trigger();
    const std::string text = test::ReadFile(csv.toStdString());
    EXPECT_EQ(text, session.WindowDataCsv());
    EXPECT_EQ(text.substr(0, text.find("\r\n")), "time [s],clock time,19 [c/s],37 [c/s],55 [c/s]");
    EXPECT_NE(text.find("\r\n6,10:30:35,"), std::string::npos);
    const QString missing = QString::fromStdString(dir.File("gone/window.csv"));
    window.Exports().AskDataPath = [missing] { return missing; };
    Action("ExportData1").trigger();
    ASSERT_EQ(errors.size(), 2);
    EXPECT_TRUE(errors[1].contains(QStringLiteral("window.csv")));
}

TEST_F(CurvesExportWindow, ClockTimeIsGreyedWithTimeZeroAtStartAndRemembered) {
    QCheckBox* t0 = window.findChild<QCheckBox*>(QStringLiteral("cbT0Start"));
    ASSERT_NE(t0, nullptr);
    EXPECT_TRUE(Action("ClockTime1").isEnabled());
    t0->click();
    EXPECT_FALSE(Action("ClockTime1").isEnabled());
    t0->click();
    EXPECT_TRUE(Action("ClockTime1").isEnabled());
    Action("ClockTime1").trigger();
    window.Binding().Run([](TKelViewSession& s) { s.SetCurveHidden("37", true); });
    window.close();
    TKelViewSession later{test::TestServices()};
    TFKelView again(later, store);
    EXPECT_TRUE(later.ClockTimeOn());
    EXPECT_TRUE(again.Commands().Action("ClockTime1")->isChecked());
    EXPECT_EQ(later.HiddenCurves().Rate, (std::set<std::string>{"37"}));
}

}  // namespace
}  // namespace kel
