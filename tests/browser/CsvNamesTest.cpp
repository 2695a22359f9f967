// Names that hold commas, double quotes or line breaks stay one field each in
// every comma-separated file, as a spreadsheet's CSV reader (Python's csv
// module here) reads them back.
#include <gtest/gtest.h>

#include <filesystem>

#include "browser/Kelbrows.h"
#include "kinetics/KineticsLibrary.h"
#include "support/SessionTestSupport.h"
#include "synth/KineticsGenerator.h"
#include "synth/LegacyWriter.h"
#include "synth/ProfileGenerator.h"

namespace fs = std::filesystem;

namespace kel {
namespace {

using Records = std::vector<std::vector<std::string>>;

// Splits text at `separator`.
std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    for (std::size_t from = 0;;) {
        std::size_t next = text.find(separator, from);
        parts.push_back(text.substr(from, next == std::string::npos ? std::string::npos : next - from));
        if (next == std::string::npos) return parts;
        from = next + 1;
    }
}

// The records of CSV files as Python's csv module reads them, in one run.
std::vector<Records> ReadWithPython(const test::ScratchDir& dir, const std::vector<std::string>& files) {
    const std::string script = dir.File("read-csv.py");
    test::WriteFileForTest(script,
                           "import csv, sys\n"
                           "def records(name):\n"
                           "    with open(name, newline='', encoding='latin-1') as f:\n"
                           "        return '\\x1e'.join('\\x1f'.join(r) for r in csv.reader(f))\n"
                           "out = '\\x1d'.join(records(n) for n in sys.argv[1:])\n"
                           "sys.stdout.buffer.write(out.encode('latin-1'))\n");
    std::string command = "python3 '" + script + "'";
    for (const std::string& file : files) command += " '" + file + "'";
    std::string output;
    EXPECT_EQ(test::RunTool(command, &output), 0);
    std::vector<Records> all;
    for (const std::string& file : Split(output, '\x1d')) {
        Records& records = all.emplace_back();
        if (!file.empty())
            for (const std::string& record : Split(file, '\x1e')) records.push_back(Split(record, '\x1f'));
    }
    all.resize(files.size());
    return all;
}

class CsvNames : public ::testing::Test {
protected:
    CsvNames() : previous_(fs::current_path()) {}
    ~CsvNames() override {
        fs::current_path(previous_);
        KineticsLibrary().Clear();
    }
    test::ScratchDir dir;
    test::RecordedMessages boxes;

private:
    fs::path previous_;
};

TEST_F(CsvNames, EveryCsvFileKeepsEachNameInItsOwnField) {
    if (!test::HaveTool("python3")) GTEST_SKIP() << "python3 reads the files back";
    const std::string compound = "wet \"mix\", 2";  // methanol's lines under another name
    test::UseKinetics(compound + " (CH4O)\r\n2\r\n19 2.7e-9 1\r\n37 2.4e-9 1\r\n1\r\n33 1\r\n" +
                      synth::DemoKineticsText());
    const std::string pressure = "p, \"Torr\"", system = "KV,\"7\"";
    synth::ProfileOptions options = synth::DefaultOptions(2);
    options.aux[0].name = pressure;  // row 18, the first logged auxiliary row
    options.systemId = system;
    const std::string comma = "run 2, after lunch", quoteAndBreak = "say \"hi\"\nagain";
    options.dateOrigin = 46001.25;
    synth::WriteLegacyFile(dir.File(comma + ".kel"), synth::MakeProfile(options));
    options.dateOrigin = 46000.25;
    synth::WriteLegacyFile(dir.File(quoteAndBreak + ".kel"), synth::MakeProfile(options));

    TProfileListing listing;
    listing.ListFolder(dir.Path());
    TKelViewSession session{test::TestServices()};
    session.SetLogFileName(dir.File("multilog.csv"));
    ASSERT_TRUE(BatchConvert(listing, session));
    // The batch leaves the older profile shown in ppb mode: a log line holds
    // its file item, the compounds and, in the header, the auxiliary names.
    session.SelectAllClick();
    session.btLogResultsClick();
    EXPECT_TRUE(boxes.shown.empty());

    // The worksheet: the system name ends line 1 (16 fields), the row names
    // line 2, and every line from the second holds 31 fields.
    std::vector<Records> read =
        ReadWithPython(dir, {dir.File(comma + ".kel.csv"), dir.File(quoteAndBreak + ".kelPpb.csv"),
                             dir.File(comma + ".kelPpb.csv"), dir.File("AllFilesPpb.csv"), dir.File("multilog.csv")});
    const Records& sheet = read[0];
    ASSERT_EQ(sheet.size(), 4u + 201u);
    EXPECT_EQ(sheet[0].size(), 16u);
    EXPECT_EQ(sheet[0].back(), system);
    EXPECT_EQ(sheet[1][0], "Names");
    EXPECT_EQ(sheet[1][1 + 18], pressure);
    for (std::size_t r = 1; r < sheet.size(); ++r) EXPECT_EQ(sheet[r].size(), 31u) << "line " << r + 1;

    // The ppb files and the collected one: one record per point, the file
    // item first and the compound's name where its column begins.
    const Records &older = read[1], &newer = read[2], &all = read[3];
    ASSERT_EQ(older.size(), 200u);
    ASSERT_EQ(newer.size(), 200u);
    ASSERT_EQ(all.size(), 400u);
    for (const auto& [records, name] : {std::pair{&newer, comma}, std::pair{&older, quoteAndBreak}}) {
        int computed = 0;
        for (const auto& fields : *records) {
            EXPECT_EQ(fields[0], name);
            EXPECT_EQ(fields.size() % 2, 1u) << "file, date, time and (name, ppb) pairs";
            if (fields.size() < 6) continue;  // a point before the recording, no compound computed
            EXPECT_EQ(fields[3], compound);
            EXPECT_EQ(fields[5], "methanol");
            ++computed;
        }
        EXPECT_GT(computed, 100) << name;
    }
    EXPECT_EQ(all.front()[0], comma);
    EXPECT_EQ(all.back()[0], quoteAndBreak);

    // The results log: its header names the auxiliary rows after the four
    // fixed columns; the line begins with the file item, the date, both
    // times and the compound's three columns.
    const Records& log = read[4];
    ASSERT_EQ(log.size(), 2u);
    ASSERT_GE(log[0].size(), 5u);
    EXPECT_EQ(log[0][4], " " + pressure);
    ASSERT_GE(log[1].size(), 8u);
    EXPECT_EQ(log[1][0], quoteAndBreak);
    EXPECT_EQ(log[1][4], compound);
    EXPECT_EQ(log[1][7], "methanol");
    // Between them whole compound triples: each auxiliary name of the header
    // has its mean at the line's end.
    std::size_t auxiliary = log[0].size() - 4;
    ASSERT_GE(log[1].size(), 4 + auxiliary);
    EXPECT_EQ((log[1].size() - 4 - auxiliary) % 3, 0u);
}

}  // namespace
}  // namespace kel
