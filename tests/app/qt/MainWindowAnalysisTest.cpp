// The window's analysis files on the offscreen platform: "Save analysis ...",
// opening one the ways a profile is opened, and the caption naming the profile.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "app/qt/KelViewWindow.h"
#include "app/qt/MainCommands.h"
#include "app/qt/SessionBinding.h"
#include "kinetics/KineticsLibrary.h"
#include "support/SessionTestSupport.h"
#include "synth/KineticsGenerator.h"

namespace kel {
namespace {

class MainWindowAnalysis : public ::testing::Test {
protected:
    MainWindowAnalysis() { test::UseKinetics(synth::DemoKineticsText()); }
    ~MainWindowAnalysis() override { KineticsLibrary().Clear(); }

    std::unique_ptr<TFKelView> NewWindow(TKelViewSession& s) {
        auto window = std::make_unique<TFKelView>(s, store);
        window->Binding().ShowError = [this](const QString& message) { errors << message; };
        window->AskAnalysisPath = [this](const QString& proposed, bool) {
            proposedPath = proposed;
            return answer;
        };
        return window;
    }
    static std::vector<std::string> Lines(const TKelViewSession& s) {
        std::vector<std::string> lines;
        for (const TComment& c : s.Graph1().Comments) lines.push_back(c.Text);
        return lines;
    }

    test::ScratchDir dir;
    test::RecordedMessages boxes;
    MemorySettings store;
    QStringList errors;
    QString answer, proposedPath;
    const QString profile = QString::fromStdString(std::string(KELVIEW_SOURCE_DIR) + "/demo/breath-01.kel");
};

TEST_F(MainWindowAnalysis, SavedFromTheFileMenuAndOpenedAsADroppedFileItShowsTheSameLines) {
    TKelViewSession session{test::TestServices()};
    auto window = NewWindow(session);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Multi Ion Profile"));
    ASSERT_TRUE(window->ShowProfile(profile));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Multi Ion Profile - breath-01.kel"));
    window->Commands().Action("BtnPpb")->trigger();
    window->Binding().Run([](TKelViewSession& s) {
        s.EditField(TFieldId::feDeadT, "0.00005");
        s.SelectTimes(20, 80);
    });
    const std::vector<std::string> shown = Lines(session);

    // A name typed without its ending gets it.
    answer = QString::fromStdString(dir.File("mine"));
    window->Commands().Action("SaveAnalysis1")->trigger();
    EXPECT_TRUE(proposedPath.endsWith(QStringLiteral("breath-01.kelview.json"))) << proposedPath.toStdString();
    const QString saved = answer + QStringLiteral(".kelview.json");
    ASSERT_TRUE(QFile::exists(saved)) << errors.join(QLatin1Char('\n')).toStdString();

    TKelViewSession other{test::TestServices()};
    auto second = NewWindow(other);
    second->OpenDropped(saved);
    EXPECT_EQ(Lines(other), shown);
    EXPECT_EQ(other.AnalysisState(), session.AnalysisState());
    EXPECT_EQ(second->windowTitle(), QStringLiteral("Multi Ion Profile - breath-01.kel"));
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();

    // "Open analysis ..." with a file that is none: its name and why in the box.
    const QString broken = QString::fromStdString(dir.File("broken.kelview.json"));
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{");
    file.close();
    answer = broken;
    second->Commands().Action("OpenAnalysis1")->trigger();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(broken)) << errors[0].toStdString();
    EXPECT_EQ(Lines(other), shown);
}

}  // namespace
}  // namespace kel
