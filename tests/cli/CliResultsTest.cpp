// "results": every number it prints against the lines the window draws from
// them, in every mode, and its CSV against its JSON.
#include <gtest/gtest.h>

#include <charconv>
#include <map>

#include "cli/CliTestSupport.h"
#include "common/NumberText.h"
#include "kinetics/RateText.h"
#include "support/SessionTestSupport.h"
#include "synth/ProfileGenerator.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace kel {
namespace {

std::string Demo(const std::string& name) { return std::string(KELVIEW_SOURCE_DIR) + "/demo/" + name; }

double Num(const QJsonValue& v) { return v.isNull() ? 0.0 : v.toDouble(); }
std::string Str(const QJsonValue& v) { return v.toString().toStdString(); }

// The lines of the window calculation, composed from the numbers of
// "results" with the window's own formats.
std::vector<std::string> LinesOf(const QJsonObject& r) {
    std::vector<std::string> lines;
    const std::string mode = Str(r["mode"]);
    if (mode == "rate") {
        for (const auto& v : r["channels"].toArray()) {
            QJsonObject c = v.toObject();
            lines.push_back(Labelled(Str(c["name"]), FormatRate(Num(c["meanRate"]))) + "±" + FormatFixed(Num(c["relStdDev"]), 1, 0) +
                            "%, ~" + FormatFixed(Num(c["countingError"]), 1, 0) + "% (" +
                            FormatFixed(Num(c["dwell"]), 3, 3) + "s)");
        }
        QJsonObject p = r["profile"].toObject(), w = r["window"].toObject();
        lines.push_back(Labelled("(total)", FormatFixed(Num(r["totalRate"]), 6, 0)));
        lines.push_back("(njm, jm, jm1, jm2)" + FormatFixed(Num(p["njm"]), 3, 0) + FormatFixed(Num(p["jm"]), 3, 0) +
                        FormatFixed(Num(w["firstPoint"]), 3, 0) + FormatFixed(Num(w["lastPoint"]), 3, 0));
    } else if (mode == "ppb") {
        const int sensit = static_cast<int>(Num(r["fields"].toObject()["SensitMode"]));
        const char* keys[] = {"sensitivity", "inverseSensitivity", "detectionLimit", "detectionLimitPoint"};
        const char* before[] = {" (", " (", " (LOD=", " (LOD1="};
        const char* after[] = {" cps/ppb)", " ppb/cps)", " ppb)", " ppb)"};
        for (const auto& v : r["compounds"].toArray()) {
            QJsonObject c = v.toObject();
            if (c["ppb"].isNull()) {
                lines.push_back(" " + Str(c["name"]) + " n.a.");
                continue;
            }
            std::string figure = sensit < 4 ? before[sensit] + FormatPattern("0.00", Num(c[keys[sensit]])) + after[sensit]
                                            : std::string();
            lines.push_back(" " + Str(c["name"]) + " =" + FormatConcentration(5, Num(c["ppb"])) + "±" +
                            FormatConcentration(1, Num(c["ppbError"])) + ", ~±" +
                            FormatConcentration(1, Num(c["ppbCountingError"])) + figure + " " +
                            FormatPattern("0.0e-0", Num(c["mol"])) + " mol");
        }
    } else {
        QJsonObject d = r["isotope"].toObject();
        lines.push_back("(74) " + FormatFixed(Num(d["S74"]), 6, 0));
        lines.push_back("(75) " + FormatFixed(Num(d["S75"]), 6, 0));
        if (!d["Q"].isNull()) {
            lines.push_back("Q= " + FormatFixed(Num(d["Q"]), 6, 4) + "±" + FormatFixed(Num(d["relErr"]) * 100, 0, 1) + "%");
            lines.push_back("R1vap= " + FormatFixed(Num(d["R1vap"]), 3, 0) + "±" + FormatFixed(Num(d["R1vapError"]), 1, 0) +
                            " ppm");
            lines.push_back("R1liq= " + FormatFixed(Num(d["R1liq"]), 3, 0) + "±" + FormatFixed(Num(d["R1liqError"]), 1, 0) +
                            " ppm");
            lines.push_back("shape= " + FormatFixed(Num(d["shape"]), 3, 3));
            lines.push_back("slope= " + FormatFixed(Num(d["slope"]), 3, 3));
        }
    }
    for (const auto& v : r["auxiliary"].toArray()) {
        QJsonObject a = v.toObject();
        lines.push_back(Str(a["name"]) + " " + FormatPattern("0", Num(a["mean"])));
    }
    return lines;
}

class CliResults : public ::testing::Test {
protected:
    test::TCliResult Run(std::vector<std::string> args) { return test::RunCli(args, dir.Path()); }

    QJsonObject Results(const std::string& file, std::vector<std::string> args) {
        args.insert(args.begin(), {"results", file});
        test::TCliResult r = Run(args);
        EXPECT_EQ(r.status, 0) << r.err;
        return test::ParseJson(r.out).object();
    }

    // The result lines the window draws (tag 0 comments) for the same arguments.
    std::vector<std::string> DrawnLines(const std::string& file, std::vector<std::string> args) {
        args.insert(args.begin(), {"window", file});
        args.push_back("--json");
        test::TCliResult r = Run(args);
        EXPECT_EQ(r.status, 0) << r.err;
        std::vector<std::string> lines;
        for (const auto& v : test::ParseJson(r.out).object()["comments"].toArray())
            if (v.toObject()["tag"].toInt() == 0) lines.push_back(Str(v.toObject()["text"]));
        return lines;
    }

    test::ScratchDir dir;
};

TEST_F(CliResults, EveryNumberMatchesTheDrawnLinesOfEveryDemoProfileInEveryMode) {
    const std::vector<std::vector<std::string>> runs = {
        {"--mode", "rate"},
        {"--mode", "rate", "--select", "30:90", "--set", "btnApplyDeMr=0"},
        {"--mode", "ppb"},
        {"--mode", "ppb", "--select", "20:200", "--set", "SensitMode=1"},
        {"--mode", "ppb", "--set", "SensitMode=2"},
        {"--mode", "ppb", "--set", "SensitMode=3", "--set", "feDe200=2.5"},
        {"--mode", "dh"},
        {"--mode", "dh", "--select", "10:60", "--set", "feb74=100"},
    };
    int compared = 0;
    for (const char* demo : {"breath-01.kel", "breath-02.kel", "headspace-01.kel", "room-air.kel"}) {
        for (const auto& args : runs) {
            SCOPED_TRACE(std::string(demo) + " " + args[1] + (args.size() > 2 ? " " + args[2] + " " + args[3] : ""));
            QJsonObject results = Results(Demo(demo), args);
            EXPECT_EQ(LinesOf(results), DrawnLines(Demo(demo), args));
            EXPECT_EQ(Str(results["mode"]), args[1]);
            EXPECT_FALSE(results.contains("error"));
            ++compared;
        }
    }
    EXPECT_EQ(compared, 32);
}

TEST_F(CliResults, TheWindowIsGivenAsPointsSecondsAndTimesOfDay) {
    std::string path = test::WriteBreathProfile(dir, "breath.kel", 5, 46000.4375);
    QJsonObject r = Results(path, {"--mode", "rate", "--select", "100:200"});
    QJsonObject w = r["window"].toObject(), p = r["profile"].toObject();
    const double cycle = p["cycleTime"].toDouble();
    ASSERT_GT(cycle, 0);
    EXPECT_EQ(w["startSeconds"].toDouble(), w["firstPoint"].toDouble() * cycle);
    EXPECT_EQ(w["endSeconds"].toDouble(), w["lastPoint"].toDouble() * cycle);
    EXPECT_EQ(w["points"].toDouble(), w["lastPoint"].toDouble() - w["firstPoint"].toDouble() + 1);
    EXPECT_EQ(Str(p["date"]), "2025-12-09T10:30:00");
    EXPECT_EQ(p["dateDays"].toDouble(), 46000.4375);
    EXPECT_TRUE(Str(w["startTime"]).starts_with("2025-12-09T10:3")) << Str(w["startTime"]);
    EXPECT_EQ(Str(r["units"].toObject()["meanRate"]), "c/s");
    EXPECT_EQ(Str(r["units"].toObject()["startSeconds"]), "s");
}

// The shortest text that reads back as x, as both outputs write numbers.
std::string JsonNumberText(double x) {
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, x).ptr);
}

// A tiny RFC 4180 reader: the rows of the text, fields unquoted.
std::vector<std::vector<std::string>> CsvRows(const std::string& text) {
    std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                rows.back().back() += text[++i];
            } else if (c == '"') {
                quoted = false;
            } else {
                rows.back().back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            rows.back().emplace_back();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
            rows.emplace_back(1);
        } else {
            rows.back().back() += c;
        }
    }
    if (rows.back().size() == 1 && rows.back()[0].empty()) rows.pop_back();
    return rows;
}

TEST_F(CliResults, TheCsvHoldsTheJsonNumbersOnePerRow) {
    TKel profile = synth::MakeProfile(synth::DefaultOptions(5));
    profile.comment = "a,\"b\"";  // a text that needs quoting
    std::string path = test::SaveProfile(dir, profile, "quoted.kel");
    for (const char* mode : {"rate", "ppb", "dh"}) {
        SCOPED_TRACE(mode);
        QJsonObject json = Results(path, {"--mode", mode});
        test::TCliResult csv = Run({"results", path, "--mode", mode, "--format", "csv"});
        ASSERT_EQ(csv.status, 0) << csv.err;
        auto rows = CsvRows(csv.out);
        ASSERT_GT(rows.size(), 10u);
        EXPECT_EQ(rows[0], (std::vector<std::string>{"group", "item", "quantity", "value", "unit"}));
        std::map<std::string, int> seen;
        for (std::size_t i = 1; i < rows.size(); ++i) {
            ASSERT_EQ(rows[i].size(), 5u) << i;
            const auto& row = rows[i];
            QJsonValue value;
            if (row[0].empty()) {
                value = json[QString::fromStdString(row[2])];
            } else if (row[1].empty()) {
                QJsonObject group = json;
                for (const QString& part : QString::fromStdString(row[0]).split('.')) group = group[part].toObject();
                value = group[QString::fromStdString(row[2])];
            } else {
                QJsonValue list = json;
                for (const QString& part : QString::fromStdString(row[0]).split('.')) list = list.toObject()[part];
                int index = seen[row[0] + "\n" + row[1] + "\n" + row[2]]++;
                int found = -1;
                const QJsonArray elements = list.toArray();
                for (qsizetype e = 0; e < elements.size(); ++e) {
                    QJsonObject element = elements[e].toObject();
                    // An element without a name is told by its place.
                    std::string name = Str(element["name"]).empty() ? "#" + std::to_string(e) : Str(element["name"]);
                    if (name != row[1]) continue;
                    if (++found == index) value = element[QString::fromStdString(row[2])];
                }
            }
            std::string expected = value.isString() ? Str(value)
                                   : value.isBool() ? (value.toBool() ? "1" : "0")
                                   : value.isNull() ? ""
                                                    : JsonNumberText(value.toDouble());
            EXPECT_EQ(row[3], expected) << row[0] << " " << row[1] << " " << row[2];
            if (!row[4].empty()) {
                EXPECT_EQ(row[4], Str(json["units"].toObject()[QString::fromStdString(row[2])]));
            }
        }
        EXPECT_NE(csv.out.find("profile,,comment,\"a,\"\"b\"\"\",\r\n"), std::string::npos);
    }
}

TEST_F(CliResults, AFailedCalculationPrintsItsNumbersAndFailsNamingTheFile) {
    // The second channel's counts scatter about a mean of 0 over the whole
    // profile: its plot is drawn, its relative error cannot be computed.
    TKel profile = synth::MakeProfile(synth::DefaultOptions(5));
    profile.OutlierFilter = 0;
    auto& counts = profile.Counts[3];
    for (int slot = 0; slot < profile.njm; ++slot)
        counts[static_cast<std::size_t>(slot)] = slot == profile.njm - 1 ? 0 : slot % 2 ? 100 : -100;
    std::string path = test::SaveProfile(dir, profile, "scatter.kel");
    test::TCliResult r = Run({"results", path, "--mode", "rate", "--set", "btnApplyDeMr=0"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("scatter.kel"), std::string::npos) << r.err;
    QJsonObject json = test::ParseJson(r.out).object();
    EXPECT_FALSE(Str(json["error"]).empty());
    EXPECT_EQ(json["channels"].toArray().size(), 1);  // the channel before the failing one
    EXPECT_EQ(Run({"results", path, "--format", "xml"}).status, 2);
}

TEST_F(CliResults, InfoGivesIsoDatesBesideTheDayNumbers) {
    std::string path = test::WriteBreathProfile(dir, "dated.kel", 3, 46000.4375);
    test::TCliResult r = Run({"info", path});
    ASSERT_EQ(r.status, 0) << r.err;
    QJsonObject info = test::ParseJson(r.out).object();
    EXPECT_EQ(info["DateOrigin"].toDouble(), 46000.4375);
    EXPECT_EQ(Str(info["DateOriginIso"]), "2025-12-09T10:30:00");
    EXPECT_EQ(Str(info["ProfileDateIso"]), "2025-12-09T10:30:00");
}

}  // namespace
}  // namespace kel
