// The browser's Compare and Summary… windows as a user drives them: profiles
// chosen with Ctrl-clicks and compared, the tables' exports, and a folder's
// summary filled off the interface thread, cancelled, sorted and saved as
// kelview-cli summary writes it.
#include <gtest/gtest.h>

#include "browser/qt/BrowserFixture.h"

#include <QHeaderView>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTableWidget>

#include "app/KelViewSession.h"
#include "support/SessionTestSupport.h"
#include "browser/qt/CompareWindow.h"
#include "browser/qt/SummaryWindow.h"
#include "common/DateTime.h"
#include "common/SafeFile.h"
#include "plot/qt/XYGraphBox.h"

namespace kel {
namespace {

class CompareSummaryWindows : public test::BrowserFixture {
protected:
    void WriteStudy(int count) {
        for (int i = 0; i < count; ++i)
            WriteProfile(dir, "p" + std::to_string(i) + ".kel", EncodeDateTime({2009, 5, 1 + i, 12, 0, 0, 0}),
                         static_cast<std::uint64_t>(i + 3));
    }
    // A click with Ctrl held, which chooses without opening.
    void CtrlClickEntry(int row) {
        const QPoint centre = List()->visualRect(List()->model()->index(row, 0)).center();
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, Qt::ControlModifier, centre);
    }
    void Click(const char* name) { browser->findChild<QPushButton*>(QLatin1String(name))->click(); }
};

TEST_F(CompareSummaryWindows, ThreeChosenProfilesShowThreeCurvesAndTheirOwnResults) {
    WriteStudy(4);
    Open();
    StopTimer2();
    session.btnApplyDeMrClick();  // "correct" up in the main window: the comparison follows it
    ClickEntry(0);
    const std::string shown = session.ProfilePath();
    CtrlClickEntry(1);
    CtrlClickEntry(3);
    EXPECT_EQ(session.ProfilePath(), shown) << "a Ctrl-click chooses, it opens nothing";
    Click("btnCompare");
    auto* window = browser->findChild<TCompareWindow*>(QStringLiteral("CompareWindow"));
    ASSERT_NE(window, nullptr) << errors.join('\n').toStdString();
    QStringList failed;
    window->ShowError = [&](const QString& message) { failed << message; };

    const TXYGraph& graph = window->findChild<TXYGraphBox*>(QStringLiteral("XYGraphCompare"))->XYgraph();
    EXPECT_EQ(graph.Curves.Count(), 3);
    const auto* table = window->findChild<QTableWidget*>(QStringLiteral("tbResults"));
    ASSERT_EQ(table->rowCount(), 3);
    EXPECT_TRUE(window->findChild<QLabel*>(QStringLiteral("lbSettings"))->text().contains(QStringLiteral("correct off")));
    // Each row is the profile's own window result, as the main window computes it.
    for (int r = 0; r < 3; ++r) {
        const std::string file = Texts()[static_cast<std::size_t>(r == 0 ? 0 : r == 1 ? 1 : 3)];
        TKelViewSession own{test::TestServices()};
        own.btnApplyDeMrClick();
        ASSERT_TRUE(own.ShowProfile(dir.File(file)));
        own.SelectAllClick();
        const TChannelResult& channel = own.ChannelResults()[0];
        EXPECT_EQ(table->item(r, 0)->text().toStdString(), file);
        EXPECT_EQ(window->Shown(), channel.Name);
        EXPECT_EQ(table->item(r, 3)->text().toDouble(), channel.MeanRate) << file;
        EXPECT_EQ(table->item(r, 4)->text().toDouble(), channel.RelStdDev) << file;
    }

    std::string asked;
    window->AskSavePath = [&](const QString&, const QString&, const QString&) { return QString::fromStdString(asked); };
    asked = dir.File("compare.csv");
    window->ExportTable();
    EXPECT_EQ(ParseSummaryCsv(ReadWholeFile(asked)), window->Model().TableRows(window->Shown()));
    asked = dir.File("compare.svg");
    window->ExportImage();
    EXPECT_NE(ReadWholeFile(asked).find("<svg"), std::string::npos);
    EXPECT_TRUE(failed.isEmpty()) << failed.join('\n').toStdString();
    asked = dir.File("compare.gif");
    window->ExportImage();
    EXPECT_EQ(failed.size(), 1);
    EXPECT_FALSE(std::filesystem::exists(asked));
    window->close();
}

TEST_F(CompareSummaryWindows, CompareWithoutAChoiceSaysWhatToDo) {
    WriteStudy(1);
    Open();
    StopTimer2();
    List()->clearSelection();
    Click("btnCompare");
    EXPECT_EQ(browser->findChild<TCompareWindow*>(), nullptr);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("Ctrl-click"))) << errors[0].toStdString();
}

// The output of kelview-cli summary for folder with the demo library.
std::string ToolSummary(const test::ScratchDir& scratch, const QString& folder, const QStringList& more) {
    const std::string kinetics = scratch.File("demo.kbase");
    PutFileInPlace(kinetics, synth::DemoKineticsText());
    QProcess tool;
    tool.start(QStringLiteral(KELVIEW_CLI_PROGRAM),
               QStringList{QStringLiteral("summary"), folder, QStringLiteral("--kinetics"), QString::fromStdString(kinetics)} + more);
    EXPECT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    return tool.readAllStandardOutput().toStdString();
}

TEST_F(CompareSummaryWindows, SummaryFillsSortsAndSavesWhatTheToolWrites) {
    WriteStudy(5);
    test::WriteFileForTest(dir.File("broken.kel"), "<kel>");
    Open();
    StopTimer2();
    Click("btnSummary");
    auto* window = browser->findChild<TSummaryWindow*>(QStringLiteral("SummaryWindow"));
    ASSERT_NE(window, nullptr);
    QSignalSpy finished(window, &TSummaryWindow::Finished);
    ASSERT_TRUE(window->Running() || finished.count() == 1);
    ASSERT_TRUE(finished.count() == 1 || finished.wait(60000));
    EXPECT_FALSE(window->Result().cancelled);
    ASSERT_EQ(window->Result().skipped.size(), 1u);

    auto* table = window->findChild<QTableView*>(QStringLiteral("tbSummary"));
    ASSERT_EQ(table->model()->rowCount(), static_cast<int>(window->Result().rows.size()));
    ASSERT_GT(table->model()->rowCount(), 5);
    // Sorted by mean, by the numbers' values rather than their texts.
    table->sortByColumn(7, Qt::DescendingOrder);
    double previous = 1e308;
    for (int r = 0; r < table->model()->rowCount(); ++r) {
        const QString text = table->model()->index(r, 7).data().toString();
        if (text.isEmpty()) continue;
        EXPECT_LE(text.toDouble(), previous) << "row " << r;
        previous = text.toDouble();
    }

    const QString folder = QDir::currentPath();
    std::string asked;
    window->AskSavePath = [&](const QString&) { return QString::fromStdString(asked); };
    asked = dir.File("summary.csv");
    window->Save();
    EXPECT_EQ(ReadWholeFile(asked), ToolSummary(dir, folder, {}));
    asked = dir.File("summary.JSON");
    window->Save();
    EXPECT_EQ(ReadWholeFile(asked), ToolSummary(dir, folder, {QStringLiteral("--format"), QStringLiteral("json")}));
    window->close();
}

TEST_F(CompareSummaryWindows, ACancelledSummaryStopsAndIsNotSaved) {
    WriteStudy(12);
    Open();
    StopTimer2();
    TSummaryWindow window(nullptr, QDir::currentPath().toStdString(),
                          TSessionTemplate::Of(session, KineticsLibrary()), 1);
    QSignalSpy finished(&window, &TSummaryWindow::Finished);
    window.Start();
    window.Cancel();
    ASSERT_TRUE(finished.count() == 1 || finished.wait(60000));
    EXPECT_TRUE(window.Result().cancelled);
    EXPECT_LT(window.Result().rows.size(), 12u * 14u);
    EXPECT_FALSE(window.findChild<QPushButton*>(QStringLiteral("btSave"))->isEnabled());
    bool asked = false;
    window.AskSavePath = [&](const QString&) {
        asked = true;
        return QString::fromStdString(dir.File("cut.csv"));
    };
    window.Save();
    EXPECT_FALSE(asked);
    EXPECT_FALSE(std::filesystem::exists(dir.File("cut.csv")));
}

TEST_F(CompareSummaryWindows, AFolderWithoutProfilesSaysSoAndSavesNothing) {
    test::ScratchDir empty;
    TSummaryWindow window(nullptr, empty.Path(), TSessionTemplate::Of(session, KineticsLibrary()), 2);
    QSignalSpy finished(&window, &TSummaryWindow::Finished);
    window.Start();
    ASSERT_TRUE(finished.count() == 1 || finished.wait(60000));
    EXPECT_TRUE(window.findChild<QLabel*>(QStringLiteral("lbProgress"))->text().startsWith(QStringLiteral("No profiles")));
    EXPECT_FALSE(window.findChild<QPushButton*>(QStringLiteral("btSave"))->isEnabled());
}

}  // namespace
}  // namespace kel
