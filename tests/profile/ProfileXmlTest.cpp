#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/Errors.h"
#include "common/NumberText.h"
#include "profile/Kel.h"
#include "profile/ProfileXml.h"
#include "support/TestSupport.h"
#include "synth/ProfileGenerator.h"

namespace kel {
namespace {

// A profile text around the given header elements and Ion rows.
std::string ProfileText(const std::string& header, const std::string& ions, const std::string& times) {
    return "<?xml version=\"1.0\"?><kel>" + header + "<Ions>" + ions + "</Ions><Times>" + times + "</Times></kel>";
}
std::string EmptyIons(int rows = 29) {
    std::string ions;
    for (int r = 0; r < rows; ++r) ions += "<Ion></Ion>";
    return ions;
}
std::string Repeat(const std::string& piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += piece;
    return out;
}

// The value a real field comes back with: its written text read again.
double Written(double value, int decimals) { return TextToFloat(FormatFixed(value, 1, decimals)); }

TKel SmallProfile() {
    TKel kel;
    kel.nim = 29;
    kel.njm = 2;
    kel.im = 1;
    kel.jm = 150;
    kel.p = 0.72;
    kel.fc = 150;
    kel.f1 = 12.5;
    kel.ion = "H3O+";
    kel.reactant = "breath";
    kel.comment = "note";
    kel.De200 = 1.5;
    kel.Df73 = -2.25;
    kel.ts = 0.1;
    kel.Tg = 300;
    kel.Aft = 13.074051987176063;
    kel.lr = 70;
    kel.f4 = 48;
    kel.f5 = 11;
    kel.f6 = 500;
    kel.DateOrigin = 46000.4375;
    kel.SystemId = "KV-01";
    kel.Name[1] = "19";
    kel.Cntm[1] = 100;
    kel.Counts[1][0] = 12;
    kel.Counts[1][1] = 15;
    kel.Counts[3][0] = 99;  // row 3 is not in use: not written
    kel.Times[1] = 7;
    return kel;
}

TEST(BuildXml, WritesTheExactText) {
    std::string emptyRow = "<Ion>\r\n<Name></Name><Dam>0</Dam><Cntm>0</Cntm><Counts></Counts>\r\n</Ion>\r\n";
    std::string expected =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><kel><nim>29</nim><njm>2</njm><im>1</im><jm>150</jm><mions>28</mions>"
        "<p>0.720</p><fc>150.00000</fc><f1>12.50000</f1><ion>H3O+</ion><reactant>breath</reactant>"
        "<comment>note</comment><FScan>500.00000</FScan><De200>1.50000</De200><Mr200>0.00000</Mr200>"
        "<Df73>-2.25000</Df73><ts>0.10000</ts><Tg>300.00</Tg><Aft>13.074</Aft><lr>70.000</lr><f4>48.000</f4>"
        "<f5>11.000</f5><f6>500.000</f6><f7>0.000</f7><f8>0.000</f8><DateOrigin>46000.4375000000000</DateOrigin>"
        "<SystemId>KV-01</SystemId>\r\n<Ions>\r\n" +
        emptyRow +
        "<Ion>\r\n<Name>19</Name><Dam>0</Dam><Cntm>100</Cntm><Counts><c>12</c><c>15</c></Counts>\r\n</Ion>\r\n" +
        Repeat(emptyRow, 27) + "</Ions>\r\n<Times><t>0</t><t>7</t></Times>\r\n</kel>";
    EXPECT_EQ(SmallProfile().BuildXml(), expected);
}

TEST(BuildXml, NoSlotsGiveEmptyLists) {
    TKel kel = SmallProfile();
    kel.njm = -3;
    std::string text = kel.BuildXml();
    EXPECT_NE(text.find("<Counts></Counts>"), std::string::npos);
    EXPECT_EQ(text.find("<c>"), std::string::npos);
    EXPECT_NE(text.find("<Times></Times>\r\n</kel>"), std::string::npos);
}

TEST(BuildXml, BracketsInTextsBecomeParentheses) {
    TKel kel = SmallProfile();
    kel.comment = "a<b>c";
    kel.ion = "<";
    kel.Name[1] = "<19>";
    kel.SystemId = "x>y";
    TKel back;
    back.ParseProfileXml(kel.BuildXml());
    EXPECT_EQ(back.comment, "a(b)c");
    EXPECT_EQ(back.ion, "(");
    EXPECT_EQ(back.Name[1], "(19)");
    EXPECT_EQ(back.SystemId, "x)y");
    EXPECT_EQ(back.Counts[1][1], 15);
}

TEST(BuildXml, RefusesARecordWithoutItsSlots) {
    TKelDetails details;
    details.njm = 201;
    details.nim = 3;
    EXPECT_THROW(details.BuildXml(), EKelError);
    TKel kel;
    kel.njm = 201;
    kel.Name[1] = "19";
    kel.Counts[1].resize(100);
    EXPECT_THROW(kel.BuildXml(), EKelError);
    kel.Name[1].clear();  // no row in use: only Times is short
    kel.Times.resize(100);
    EXPECT_THROW(kel.BuildXml(), EKelError);
}

TEST(ParseProfileXml, RestoresEveryFieldAtItsWrittenPrecision) {
    synth::ProfileOptions options = synth::DefaultOptions(7);
    options.slots = 250;
    options.cycles = 400;
    TKel kel = synth::MakeProfile(options);
    kel.im = -5;
    kel.ts = 0.123456789;
    kel.De200 = 2.0e-3;
    kel.Mr200 = 18.987654321;
    kel.Df73 = 0.333333333;
    kel.f7 = 0.0123456;
    kel.f8 = -1.5;
    kel.DateOrigin = 46000.12345678901234;
    kel.Dam[5] = 65535;
    kel.Counts[1][3] = -42;
    kel.Times[9] = -2147483647 - 1;

    TKel back;
    back.ParseProfileXml(kel.BuildXml());
    EXPECT_EQ(back.nim, kel.nim);
    EXPECT_EQ(back.njm, 250);
    EXPECT_EQ(back.im, -5);
    EXPECT_EQ(back.jm, kel.jm);
    EXPECT_EQ(back.p, Real48(Written(kel.p, 3)));
    EXPECT_EQ(back.fc, Real48(Written(kel.fc, 5)));
    EXPECT_EQ(back.f1, Real48(Written(kel.f1, 5)));
    EXPECT_EQ(back.ion, kel.ion);
    EXPECT_EQ(back.reactant, kel.reactant);
    EXPECT_EQ(back.comment, kel.comment);
    EXPECT_EQ(back.FScan, Written(kel.FScan, 5));
    EXPECT_EQ(back.ts, 0.12346);
    EXPECT_EQ(back.De200, 0.002);
    EXPECT_EQ(back.Mr200, 18.98765);
    EXPECT_EQ(back.Df73, 0.33333);
    EXPECT_EQ(back.Tg, Real48(Written(kel.Tg, 2)));
    EXPECT_EQ(back.Aft, Real48(13.074));
    EXPECT_EQ(back.lr, Real48(Written(kel.lr, 3)));
    EXPECT_EQ(back.f4, Real48(Written(kel.f4, 3)));
    EXPECT_EQ(back.f5, Real48(Written(kel.f5, 3)));
    EXPECT_EQ(back.f6, Real48(Written(kel.f6, 3)));
    EXPECT_EQ(back.f7, Real48(0.012));
    EXPECT_EQ(back.f8, Real48(-1.5));
    EXPECT_EQ(back.DateOrigin, 46000.1234567890123);
    EXPECT_EQ(back.SystemId, kel.SystemId);
    for (std::size_t r = 0; r < 29; ++r) {
        EXPECT_EQ(back.Name[r], kel.Name[r]) << r;
        EXPECT_EQ(back.Dam[r], kel.Dam[r]) << r;
        EXPECT_EQ(back.Cntm[r], kel.Cntm[r]) << r;
        bool used = !kel.Name[r].empty() || kel.Dam[r] || kel.Cntm[r];
        for (std::size_t s = 0; s < 250; ++s) EXPECT_EQ(back.Counts[r][s], used ? kel.Counts[r][s] : 0) << r << "/" << s;
    }
    for (std::size_t s = 0; s < 250; ++s) EXPECT_EQ(back.Times[s], kel.Times[s]) << s;
}

TEST(ParseProfileXml, NonAsciiComesBackWhole) {
    TKel kel = SmallProfile();
    kel.comment = "20\xC2\xB0" "C";
    std::string text = kel.BuildXml();
    EXPECT_NE(text.find("<comment>20\xC2\xB0" "C</comment>"), std::string::npos);
    TKel back;
    back.ParseProfileXml(text);
    EXPECT_EQ(back.comment, "20\xC2\xB0" "C");
}

TEST(ParseProfileXml, MissingHeaderValuesTakeTheirDefaults) {
    TKel kel;
    kel.De200 = 4;
    kel.Mr200 = 5;
    kel.Df73 = 6;
    kel.ion = "old";
    kel.ParseProfileXml(ProfileText("<p>not a number</p><fc>1,5</fc>", EmptyIons(), ""));
    EXPECT_EQ(kel.nim, 0);
    EXPECT_EQ(kel.njm, 0);
    EXPECT_EQ(kel.p, Real48(0.5));
    EXPECT_EQ(kel.fc, Real48(150));
    EXPECT_EQ(kel.f1, Real48(0.0));
    EXPECT_EQ(kel.FScan, 500);
    EXPECT_EQ(kel.ts, 0);
    EXPECT_EQ(kel.Tg, Real48(300));
    EXPECT_EQ(kel.Aft, Real48(13));
    EXPECT_EQ(kel.lr, Real48(34));
    EXPECT_EQ(kel.f6, Real48(0.0));
    EXPECT_EQ(kel.DateOrigin, 0);
    EXPECT_EQ(kel.De200, 4);
    EXPECT_EQ(kel.Mr200, 5);
    EXPECT_EQ(kel.Df73, 6);
    EXPECT_EQ(kel.ion, "");
}

TEST(ParseProfileXml, KeepsSixteenBitsOfCountsAndTruncatesTexts) {
    TKel kel;
    kel.ParseProfileXml(ProfileText("<nim>70000</nim><njm>2</njm><SystemId>123456789012345678901234</SystemId>",
                                    "<Ion><Name>1234567890123456</Name><Dam>65537</Dam><Cntm>-1</Cntm><Counts><c>1</c>"
                                    "<c>2</c></Counts></Ion>" +
                                        EmptyIons(28),
                                    "<t>1</t><t>2</t>"));
    EXPECT_EQ(kel.nim, 4464);
    EXPECT_EQ(kel.Name.size(), 4465u);
    EXPECT_EQ(kel.Name[0], "123456789012");
    EXPECT_EQ(kel.Dam[0], 1);
    EXPECT_EQ(kel.Cntm[0], 65535);
    EXPECT_EQ(kel.Counts[0][1], 2);
    EXPECT_EQ(kel.SystemId, "12345678901234567890");
}

TEST(ParseProfileXml, ClearsWhatItReadsEvenWhenUnused) {
    TKel kel = SmallProfile();
    kel.Name[5] = "old";
    kel.Counts[5][0] = 3;
    kel.Counts[28][1] = 4;
    kel.ParseProfileXml(ProfileText("<nim>29</nim><njm>2</njm>", EmptyIons(), "<t>0</t><t>0</t>"));
    EXPECT_EQ(kel.Name[5], "");
    EXPECT_EQ(kel.Counts[5][0], 0);
    EXPECT_EQ(kel.Counts[28][1], 0);
    EXPECT_EQ(kel.Counts[1][0], 0);
}

TEST(ParseProfileXml, HostileSizesNeverCostGigabytes) {
    TKel kel;
    // 32767 x 32767 slots would be 4 GiB of counts.
    try {
        kel.ParseProfileXml(ProfileText("<nim>32767</nim><njm>32767</njm>", EmptyIons(), ""));
        FAIL();
    } catch (const EKelError& e) {
        EXPECT_STREQ(e.what(), "Damaged profile: 32767 rows of 32767 slots are more than any profile holds");
    }
    EXPECT_EQ(kel.nim, 0);
    EXPECT_EQ(kel.njm, 0);
    EXPECT_EQ(kel.Counts.size(), 29u);
    EXPECT_THROW(kel.ParseProfileXml(ProfileText("<nim>201</nim><njm>32767</njm>", EmptyIons(), "")), EKelError);
    // What a real profile may need still loads: every row count with the
    // legacy slots, and the largest slot count with 29 rows.
    kel.ParseProfileXml(ProfileText("<nim>32767</nim><njm>200</njm>", EmptyIons(), Repeat("<t>1</t>", 200)));
    EXPECT_EQ(kel.Counts.size(), 32768u);
    kel.ParseProfileXml(ProfileText("<nim>29</nim><njm>32767</njm>", EmptyIons(), Repeat("<t>5</t>", 32767)));
    EXPECT_EQ(kel.Times[32766], 5);
}

// njm keeps 16 bits, so no list holds more than 32767 entries: rows of
// 200000 counts make a file larger than any profile, refused before it is
// read (the list limit itself is tested in ProfileLimitsTest).
TEST(LoadFromFile, LongRowsLoadAndFilesPastAnyProfileAreRefused) {
    test::ScratchDir dir;
    constexpr int kPoints = 200000;
    std::string counts = "<c>12</c>" + Repeat("<c>7</c>", kPoints - 1);
    std::string ions;
    for (int r = 0; r < 29; ++r)
        ions += "<Ion><Name>" + std::to_string(17 + 2 * r) + "</Name><Cntm>100</Cntm><Counts>" + counts +
                "</Counts></Ion>";
    test::WriteFileForTest(dir.File("long.kel"), ProfileText("<nim>29</nim><njm>200000</njm>", ions,
                                                             "<t>3</t>" + Repeat("<t>5</t>", kPoints - 1)));
    counts.clear();
    ions.clear();
    TKel kel;
    TProfileLoadResult longRows = kel.LoadFromFile(dir.File("long.kel"));
    EXPECT_TRUE(longRows.ended);
    EXPECT_NE(longRows.io.reason.find("holds more than 23 MiB, more than any profile"), std::string::npos)
        << longRows.io.reason;

    // Sparse files: their size costs no disk.
    for (const char* start : {"<kel>", "PK"}) {
        std::string path = dir.File("huge.kel");
        test::WriteFileForTest(path, start);
        std::filesystem::resize_file(path, std::size_t{1} << 30);
        TProfileLoadResult refused = kel.LoadFromFile(path);
        EXPECT_TRUE(refused.ended) << start;
        EXPECT_EQ(refused.io.reason.rfind("Not a profile: \"" + path + "\" holds more than 2", 0), 0u) << refused.io.reason;
    }
}

TEST(ParseProfileXml, StructuralDamageIsAnErrorToTheCaller) {
    std::string row = "<Ion><Name>19</Name><Counts><c>1</c><c>2</c></Counts></Ion>";
    std::string header = "<nim>29</nim><njm>2</njm>";
    struct Case {
        std::string text, message;
    } cases[] = {
        {"no markup", "Not a profile: the text holds no XML element"},
        {"<kel><nim>29</nim>", "Damaged profile: the XML text is incomplete or uses markup profiles do not have"},
        {"<kel>" + header + "<Times></Times></kel>", "Damaged profile: no Ions element in the profile"},
        {ProfileText(header, row + EmptyIons(27), "<t>1</t><t>2</t>"), "Damaged profile: Ions holds 28 entries, 29 needed"},
        {ProfileText(header, "<Ion><Cntm>1</Cntm></Ion>" + EmptyIons(28), "<t>1</t><t>2</t>"),
         "Damaged profile: no Counts element in row 0"},
        {ProfileText(header, "<Ion><Dam>1</Dam><Counts><c>1</c></Counts></Ion>" + EmptyIons(28), "<t>1</t><t>2</t>"),
         "Damaged profile: the Counts of row 0 holds 1 entries, 2 needed"},
        {"<kel>" + header + "<Ions>" + row + EmptyIons(28) + "</Ions></kel>", "Damaged profile: no Times element in the profile"},
        {ProfileText(header, row + EmptyIons(28), "<t>1</t>"), "Damaged profile: Times holds 1 entries, 2 needed"},
    };
    for (const Case& c : cases) {
        TKel kel;
        try {
            kel.ParseProfileXml(c.text);
            ADD_FAILURE() << c.text;
        } catch (const EKelError& e) {
            EXPECT_EQ(e.what(), c.message);
        }
    }
    TKel kel;
    try {
        kel.ParseProfileXml(ProfileText(header, "<Ion><Name>19</Name><Counts><c>1</c><c>1.5</c></Counts></Ion>" +
                                                    EmptyIons(28), "<t>1</t><t>2</t>"));
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Damaged profile: entry 1 of the Counts of row 0 '1.5' is not a valid integer value");
    }
    EXPECT_EQ(kel.Counts[0][0], 1);  // what was read before the error stays
    EXPECT_THROW(kel.ParseProfileXml(ProfileText(header, row + EmptyIons(28), "<t>1</t><t>x</t>")), EConvertError);
}

TEST(ParseProfileXml, CountsInEveryFormTheIntegerRulesTake) {
    // The writer's plain form and everything else the integer rules accept.
    const char* values[] = {"0", "-0", "99999999", "-99999999", "123456789", "-2147483648", "2147483647",
                            " 12", "   -3", "+5", "007", "0000000000"};
    const std::int32_t expected[] = {0, 0, 99999999, -99999999, 123456789, -2147483647 - 1, 2147483647,
                                     12, -3, 5, 7, 0};
    std::string counts, times;
    for (const char* v : values) {
        counts += std::string("<c>") + v + "</c>";
        times += std::string("<t>") + v + "</t>";
    }
    std::string header = "<nim>29</nim><njm>" + std::to_string(std::size(values)) + "</njm>";
    TKel kel;
    kel.ParseProfileXml(ProfileText(header, "<Ion><Name>19</Name><Counts>" + counts + "</Counts></Ion>" + EmptyIons(28),
                                    times));
    for (std::size_t s = 0; s < std::size(values); ++s) {
        EXPECT_EQ(kel.Counts[0][s], expected[s]) << values[s];
        EXPECT_EQ(kel.Times[s], expected[s]) << values[s];
    }
    // Trailing blanks, a lone sign, overflow and two signs are not integers.
    for (const char* bad : {"12 ", "-", "2147483648", "-2147483649", "+-1", "1-"}) {
        TKel other;
        std::string text = ProfileText("<nim>29</nim><njm>1</njm>", EmptyIons(), std::string("<t>") + bad + "</t>");
        try {
            other.ParseProfileXml(text);
            ADD_FAILURE() << bad;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.what(), "Damaged profile: entry 0 of Times '" + std::string(bad) + "' is not a valid integer value");
        }
    }
}

TEST(ParseProfileXml, HeaderOnlyReadsTextsAndDate) {
    TKel kel = SmallProfile();
    kel.comment = "20\xC2\xB0" "C";
    std::string text = kel.BuildXml();
    TKelDetails details;
    details.HeaderOnly = true;
    details.ParseProfileXml(text);
    EXPECT_EQ(details.ion, "H3O+");
    EXPECT_EQ(details.reactant, "breath");
    EXPECT_EQ(details.comment, "20\xC2\xB0" "C");  // no tokenizer on this road
    EXPECT_EQ(details.DateOrigin, 46000.4375);
    EXPECT_EQ(details.ProfileDate, 46000.4375);
    EXPECT_EQ(details.nim, 0);
    EXPECT_TRUE(details.Counts.empty());
    EXPECT_THROW(details.ParseProfileXml("<kel><ion>x</ion></kel>"), EConvertError);
}

TEST(ExtractTagText, FollowsThePositionsOfTheFirstMatches) {
    EXPECT_EQ(ExtractTagText("<kel><ion>H3O+</ion></kel>", "ion"), "H3O+");
    EXPECT_EQ(ExtractTagText("<ionX>abc</ion>", "ion"), ">abc");  // one character after the name is skipped
    EXPECT_EQ(ExtractTagText("<ion></ion>", "ion"), "");
    EXPECT_EQ(ExtractTagText("</ion><ion>x", "ion"), "");
    EXPECT_EQ(ExtractTagText("<ion>x", "ion"), "");
    EXPECT_EQ(ExtractTagText("<Ion>x</Ion>", "ion"), "");
    EXPECT_EQ(ExtractTagText("abcdefgh</ion>", "ion"), "efgh");  // no start tag: counted from position 0
    EXPECT_EQ(ExtractTagText("", "ion"), "");
}

TEST(ZippedMemberName, ReplacesTheExtension) {
    EXPECT_EQ(ZippedMemberName("/data/a.kel"), "a.txt.kel");
    EXPECT_EQ(ZippedMemberName("a"), "a.txt.kel");
    EXPECT_EQ(ZippedMemberName("x.d/run.b.kel"), "run.b.txt.kel");
    EXPECT_EQ(ZippedMemberName("x.d/run"), "run.txt.kel");
}

// Counts and times come from the first Counts of each of the first 29
// children of the first Ions and from the first Times, wherever those
// stand and whatever else the text holds around them.
TEST(ParseProfileXml, ReadsTheFirstOfEachListWhereverItStands) {
    std::string row0 = "<Ion><Counts><c>11</c><x>12</x></Counts><Name>19</Name><Counts><c>-1</c><c>-1</c></Counts></Ion>";
    std::string row1 = "<Row><Cntm>5</Cntm><Counts>\r\n<c>21</c>\r\n<c>22</c>\r\n</Counts></Row>";
    std::string rowsPast = "<Ion><Name>x</Name><Counts><c>oops</c></Counts></Ion>";
    std::string text = "<kel><Times><t>31</t><t>32</t></Times><Ions>" + row0 + row1 + EmptyIons(27) + rowsPast +
                       "</Ions><Ions>" + Repeat("<Ion><Name>9</Name><Counts><c>-2</c><c>-2</c></Counts></Ion>", 29) +
                       "</Ions><Times><t>-3</t><t>-3</t></Times><nim>29</nim><njm>2</njm></kel>";
    TKel kel;
    kel.ParseProfileXml(text);
    EXPECT_EQ(kel.Name[0], "19");
    EXPECT_EQ(kel.Counts[0][0], 11);
    EXPECT_EQ(kel.Counts[0][1], 12);
    EXPECT_EQ(kel.Counts[1][0], 21);
    EXPECT_EQ(kel.Counts[1][1], 22);
    EXPECT_EQ(kel.Counts[2][0], 0);
    EXPECT_EQ(kel.Times[0], 31);
    EXPECT_EQ(kel.Times[1], 32);
}

}  // namespace
}  // namespace kel
