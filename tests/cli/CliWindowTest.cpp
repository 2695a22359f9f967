// "window --json" against the session driven the same way in this process.
#include <gtest/gtest.h>

#include "app/KelViewSession.h"
#include "cli/CliTestSupport.h"
#include "kinetics/KineticsLibrary.h"
#include "support/SessionTestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace kel {
namespace {

class CliWindow : public ::testing::Test {
protected:
    CliWindow() { test::UseDefaultKinetics(); }
    ~CliWindow() override { ReleaseKineticsLibrary(); }

    QJsonObject Window(std::vector<std::string> args) {
        args.insert(args.begin(), {"window", path});
        args.push_back("--json");
        test::TCliResult r = test::RunCli(args, dir.Path());
        EXPECT_EQ(r.status, 0) << r.err;
        return test::ParseJson(r.out).object();
    }

    // Every comment of the session's main graph, field by field.
    void ExpectSameComments(const QJsonObject& json) {
        QJsonArray comments = json["comments"].toArray();
        ASSERT_EQ(comments.size(), static_cast<qsizetype>(session.Graph1().Comments.size()));
        for (qsizetype i = 0; i < comments.size(); ++i) {
            const TComment& c = session.Graph1().Comments[static_cast<std::size_t>(i)];
            QJsonObject o = comments[i].toObject();
            EXPECT_EQ(o["text"].toString().toStdString(), c.Text) << i;
            EXPECT_EQ(o["x"].toDouble(), c.PosX) << i;
            EXPECT_EQ(o["y"].toDouble(), c.PosY) << i;
            EXPECT_EQ(o["align"].toInt(), c.Align) << i;
            EXPECT_EQ(o["fontColor"].toInteger(), c.FontColor) << i;
            EXPECT_EQ(o["bkColor"].toInteger(), c.BkColor) << i;
            EXPECT_EQ(o["bold"].toBool(), (c.FontStyle & fsBold) != 0) << i;
            EXPECT_EQ(o["tag"].toInt(), c.Tag) << i;
        }
    }

    test::ScratchDir dir;
    test::RecordedMessages boxes;
    std::string path = test::WriteBreathProfile(dir, "breath.kel", 11);
    TKelViewSession session{test::TestServices()};
};

TEST_F(CliWindow, RateModeWithEverythingSelected) {
    QJsonObject json = Window({});
    session.ShowProfile(path);
    session.SelectAllClick();
    ExpectSameComments(json);
    EXPECT_FALSE(json.contains("intermediate"));
    // The legend and result lines carry the "±" of the session's texts.
    EXPECT_TRUE(json["comments"].toArray()[1].toObject()["text"].toString().contains(QChar(0xB1)));
}

TEST_F(CliWindow, PpbModeWithASelectionAndEditedFields) {
    QJsonObject json = Window({"--mode", "ppb", "--select", "400.5:300", "--set", "feDe200=2.5", "--set",
                               "SensitMode=2", "--set", "btnApplyDeMr=0"});
    session.ShowProfile(path);
    session.BtnPpbClick();
    ASSERT_TRUE(session.EditField(TFieldId::feDe200, "2.5"));
    ASSERT_TRUE(session.SetSensitMode(2));
    session.btnApplyDeMrClick();
    session.SelectTimes(400.5, 300);
    ExpectSameComments(json);
    std::string intermediate;
    for (const std::string& line : session.IntermediateResults()) intermediate += line + '\n';
    EXPECT_EQ(json["intermediate"].toString().toStdString(), intermediate);
    bool lod = false;
    for (const auto& c : json["comments"].toArray()) lod = lod || c.toObject()["text"].toString().contains("(LOD=");
    EXPECT_TRUE(lod) << QJsonDocument(json).toJson().toStdString();
}

TEST_F(CliWindow, IsotopeModeFollowsTheIonAndCanBeReleased) {
    TKel fams = test::ConstantProfile(4);
    fams.ion = "FAMS";
    path = test::SaveProfile(dir, fams, "fams.kel");
    QJsonObject isotope = Window({"--select", "0:100"});
    session.ShowProfile(path);
    session.SelectTimes(0, 100);
    ExpectSameComments(isotope);
    EXPECT_TRUE(isotope["comments"].toArray()[1].toObject()["text"].toString().startsWith("(74) "));

    QJsonObject rate = Window({"--mode", "rate"});
    EXPECT_FALSE(rate["comments"].toArray()[1].toObject()["text"].toString().startsWith("(74) "));
}

TEST_F(CliWindow, TextOutputIsOneCommentPerLine) {
    test::TCliResult r = test::RunCli({"window", path, "--linear"}, dir.Path());
    ASSERT_EQ(r.status, 0) << r.err;
    session.ShowProfile(path);
    session.LogplotCtrlEnter1Click();
    session.SelectAllClick();
    std::string expected;
    for (const TComment& c : session.Graph1().Comments) expected += c.Text + '\n';
    EXPECT_EQ(r.out, expected);
}

}  // namespace
}  // namespace kel
