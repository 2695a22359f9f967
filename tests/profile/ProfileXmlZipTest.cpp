// Zipped and plain XML profile files: saving, loading through LoadFromFile,
// header-only reads, and checks by tools nobody here wrote.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <limits>
#include <sstream>
#include <string>

#include "common/Errors.h"
#include "profile/Kel.h"
#include "support/TestSupport.h"
#include "synth/ProfileGenerator.h"
#include "zip/SciZipFile.h"

namespace kel {
namespace {

using test::HaveTool;
using test::RunTool;

#define REQUIRE_TOOL(tool) \
    if (!HaveTool(tool)) GTEST_SKIP() << tool " is not installed (tools/setup.sh installs it)"

void ExpectSameCounts(const TKel& a, const TKel& b) {
    ASSERT_EQ(a.njm, b.njm);
    for (std::size_t r = 0; r < 29; ++r) {
        EXPECT_EQ(a.Name[r], b.Name[r]) << r;
        EXPECT_EQ(a.Cntm[r], b.Cntm[r]) << r;
        for (std::size_t s = 0; s < static_cast<std::size_t>(a.njm); ++s)
            ASSERT_EQ(a.Counts[r][s], b.Counts[r][s]) << r << "/" << s;
    }
}

class ZippedProfile : public ::testing::Test {
protected:
    ZippedProfile() {
        synth::ProfileOptions options = synth::DefaultOptions(3);
        options.f1 = 12.5;
        profile = synth::MakeProfile(options);
        profile.f6 = 250;
        profile.FScan = 777;
    }
    test::ScratchDir dir;
    TKel profile;
    std::string path = dir.File("run 7.kel");
};

TEST_F(ZippedProfile, SavesOneMemberNamedAfterTheFile) {
    ASSERT_TRUE(profile.SaveZipped(path));
    TZipFile zip;
    zip.LoadFromFile(path);
    ASSERT_EQ(zip.Count(), 1);
    EXPECT_EQ(zip.Files[0].FileName, "run 7.txt.kel");
    EXPECT_EQ(zip.Files[0].Method, 8);
    EXPECT_EQ(zip.Uncompressed(0), profile.BuildXml());
    EXPECT_EQ(test::ListFolder(dir.Path()), std::vector<std::string>{"run 7.kel"});
}

TEST_F(ZippedProfile, LoadFromFileReadsItBack) {
    ASSERT_TRUE(profile.SaveZipped(path));
    TKel back;
    back.LoadFromFile(path);
    ExpectSameCounts(back, profile);
    EXPECT_EQ(back.FScan, 250);  // from f6, not the written 777
    EXPECT_EQ(back.f1, Real48(12.5));
    EXPECT_EQ(back.ProfileDate, profile.DateOrigin);
    EXPECT_EQ(back.IonMass[0], 19);
    EXPECT_EQ(back.comment, profile.comment);
}

TEST_F(ZippedProfile, PlainXmlFilesLoadToo) {
    test::WriteFileForTest(path, profile.BuildXml());
    TKel back;
    back.LoadFromFile(path);
    ExpectSameCounts(back, profile);
    EXPECT_EQ(back.SystemId, profile.SystemId);
}

TEST_F(ZippedProfile, HeaderOnlyTakesTheDateOfTheMember) {
    ASSERT_TRUE(profile.SaveZipped(path));
    TZipFile zip;
    zip.LoadFromFile(path);
    TKelDetails details;
    details.HeaderOnly = true;
    details.LoadFromFile(path);
    EXPECT_EQ(details.DateOrigin, zip.MemberDate(0));
    EXPECT_EQ(details.ProfileDate, zip.MemberDate(0));
    EXPECT_EQ(details.ion, "");
    EXPECT_EQ(details.reactant, "");
    EXPECT_EQ(details.comment, "");
    EXPECT_TRUE(details.Counts.empty());
}

TEST_F(ZippedProfile, HeaderOnlyNeedsNoMoreThanTheFirstHeader) {
    ASSERT_TRUE(profile.SaveZipped(path));
    std::string bytes = test::ReadFile(path);
    // Everything after member 0's local header is gone: a full load fails,
    // the header-only load still finds the date.
    test::WriteFileForTest(path, bytes.substr(0, 30 + 13));
    TKelDetails details;
    details.HeaderOnly = true;
    details.LoadFromFile(path);
    TZipFile zip;
    std::istringstream in(bytes);
    zip.LoadFromStream(in);
    EXPECT_EQ(details.DateOrigin, zip.MemberDate(0));
    TKel full;
    TProfileLoadResult cut = full.LoadFromFile(path);
    EXPECT_TRUE(cut.ended);
    EXPECT_EQ(cut.io.status, TIoStatus::Damaged);
}

TEST_F(ZippedProfile, PlainXmlHeaderOnlyReadsTextsAndDate) {
    test::WriteFileForTest(path, profile.BuildXml());
    TKelDetails details;
    details.HeaderOnly = true;
    details.LoadFromFile(path);
    EXPECT_EQ(details.ion, profile.ion);
    EXPECT_EQ(details.reactant, profile.reactant);
    EXPECT_EQ(details.DateOrigin, profile.DateOrigin);
}

// The archive's own words, then the file they are about.
TEST_F(ZippedProfile, ArchiveErrorsReachTheCallerNamingTheFile) {
    const std::string inFile = " (in \"" + path + "\")";
    // An archive without members (only its end record).
    test::WriteFileForTest(path, std::string("PK\x05\x06", 4) + std::string(18, '\0'));
    TKel kel;
    EXPECT_EQ(kel.LoadFromFile(path).io.reason, "Index out of range." + inFile);
    TKelDetails details;
    details.HeaderOnly = true;
    TProfileLoadResult empty = details.LoadFromFile(path);
    EXPECT_TRUE(empty.ended);
    EXPECT_EQ(empty.io.reason, "Index out of range." + inFile);

    ASSERT_TRUE(profile.SaveZipped(path));
    std::string bytes = test::ReadFile(path);
    bytes[15] = static_cast<char>(bytes[15] ^ 0x40);
    test::WriteFileForTest(path, bytes);
    TProfileLoadResult damaged = kel.LoadFromFile(path);
    EXPECT_TRUE(damaged.ended);
    EXPECT_EQ(damaged.io.status, TIoStatus::Damaged);
    EXPECT_EQ(damaged.io.reason, "CRC Error in \"run 7.txt.kel\"." + inFile);
}

TEST_F(ZippedProfile, FailedSavesLeaveNoFileAndKeepTheOldOne) {
    EXPECT_FALSE(profile.SaveZipped(dir.File("missing/a.kel")));
    EXPECT_EQ(test::ListFolder(dir.Path()), std::vector<std::string>{});

    test::WriteFileForTest(path, "the profile saved before");
    profile.De200 = std::numeric_limits<double>::quiet_NaN();  // cannot be written
    EXPECT_FALSE(profile.SaveZipped(path));
    EXPECT_EQ(test::ReadFile(path), "the profile saved before");
    EXPECT_EQ(test::ListFolder(dir.Path()), std::vector<std::string>{"run 7.kel"});

    profile.De200 = 1;
    EXPECT_TRUE(profile.SaveZipped(path));
    TKel back;
    back.LoadFromFile(path);
    EXPECT_EQ(back.De200, 1);
}

TEST_F(ZippedProfile, StandardToolsAcceptTheArchive) {
    REQUIRE_TOOL("unzip");
    ASSERT_TRUE(profile.SaveZipped(path));
    EXPECT_EQ(RunTool("unzip -tq '" + path + "' >/dev/null 2>&1"), 0);
    std::string listing, text;
    EXPECT_EQ(RunTool("unzip -l '" + path + "'", &listing), 0);
    EXPECT_NE(listing.find("run 7.txt.kel"), std::string::npos);
    EXPECT_EQ(RunTool("unzip -p '" + path + "' 'run 7.txt.kel'", &text), 0);
    EXPECT_EQ(text, profile.BuildXml());
}

TEST_F(ZippedProfile, PythonExtractsTheSameText) {
    REQUIRE_TOOL("python3");
    ASSERT_TRUE(profile.SaveZipped(path));
    std::string text;
    EXPECT_EQ(RunTool("python3 -c \"import sys,zipfile; z=zipfile.ZipFile(sys.argv[1]); assert z.testzip() is None; "
                      "sys.stdout.buffer.write(z.read(z.namelist()[0]))\" '" + path + "'",
                      &text),
              0);
    EXPECT_EQ(text, profile.BuildXml());
}

TEST_F(ZippedProfile, ProfilesZippedByOtherToolsLoad) {
    REQUIRE_TOOL("zip");
    REQUIRE_TOOL("python3");
    std::string textFile = dir.File("p.txt.kel");
    test::WriteFileForTest(textFile, profile.BuildXml());
    std::string byZip = dir.File("zip.kel"), byPython = dir.File("python.kel");
    ASSERT_EQ(RunTool("cd '" + dir.Path() + "' && zip -q zip.kel p.txt.kel"), 0);
    ASSERT_EQ(RunTool("python3 -c \"import sys,zipfile; z=zipfile.ZipFile(sys.argv[1],'w',zipfile.ZIP_DEFLATED); "
                      "z.write(sys.argv[2],'p.txt.kel'); z.close()\" '" + byPython + "' '" + textFile + "'"),
              0);
    for (const std::string& archive : {byZip, byPython}) {
        TKel back;
        back.LoadFromFile(archive);
        ExpectSameCounts(back, profile);
        EXPECT_EQ(back.reactant, profile.reactant) << archive;
    }
}

TEST_F(ZippedProfile, TheTextIsWellFormedXml) {
    std::string textFile = dir.File("p.xml");
    test::WriteFileForTest(textFile, profile.BuildXml());
    if (HaveTool("xmllint")) {
        std::string errors;
        EXPECT_EQ(RunTool("xmllint --noout '" + textFile + "' 2>&1", &errors), 0) << errors;
    }
    REQUIRE_TOOL("python3");
    // ElementTree sees 29 rows and njm counts in each row in use.
    std::string summary;
    ASSERT_EQ(RunTool("python3 -c \"import sys,xml.etree.ElementTree as E; k=E.parse(sys.argv[1]).getroot(); "
                      "print(k.find('njm').text, len(k.find('Ions')), len(k.find('Ions')[1].find('Counts')), "
                      "k.find('Ions')[1].find('Counts')[5].text, len(k.find('Times')))\" '" + textFile + "'",
                      &summary),
              0);
    EXPECT_EQ(summary, "201 29 201 " + std::to_string(profile.Counts[1][5]) + " 201\n");
}

}  // namespace
}  // namespace kel
