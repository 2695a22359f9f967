#include "zip/SciZipFile.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "support/probes/AllocationProbe.h"
#include "common/DateTime.h"
#include "support/TestSupport.h"

namespace kel {
namespace {

std::string Saved(TZipFile& zip) {
    std::ostringstream out;
    zip.SaveToStream(out);
    return out.str();
}

std::string Archive(const std::string& name, const std::string& data) {
    TZipFile zip;
    zip.AddFile(name, 0);
    zip.SetUncompressed(0, data);
    return Saved(zip);
}

TZipFile Load(const std::string& bytes) {
    std::istringstream in(bytes);
    TZipFile zip;
    zip.LoadFromStream(in);
    return zip;
}

std::uint32_t U32At(const std::string& b, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 4; i-- > 0;) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
    return v;
}
std::uint16_t U16At(const std::string& b, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) | (static_cast<unsigned char>(b[at + 1]) << 8));
}
void PutU32(std::string& b, std::size_t at, std::uint32_t v) {
    for (std::size_t i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
void PutU16(std::string& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>(v >> 8);
}

// Offsets in the one-member archive of "abc" named a.txt.kel.
constexpr std::size_t kCentral = 30 + 9 + 5;
constexpr std::size_t kEnd = kCentral + 46 + 9;

TEST(ZipRecords, AbcArchiveByteByByte) {
    std::string b = Archive("a.txt.kel", "abc");
    ASSERT_EQ(b.size(), kEnd + 22);
    // Local header.
    EXPECT_EQ(U32At(b, 0), 0x04034B50u);
    EXPECT_EQ(U16At(b, 4), 20);
    EXPECT_EQ(U16At(b, 6), 0);
    EXPECT_EQ(U16At(b, 8), 8);
    EXPECT_EQ(U32At(b, 14), 0x352441C2u);
    EXPECT_EQ(U32At(b, 18), 5u);
    EXPECT_EQ(U32At(b, 22), 3u);
    EXPECT_EQ(U16At(b, 26), 9);
    EXPECT_EQ(U16At(b, 28), 0);
    EXPECT_EQ(b.substr(30, 9), "a.txt.kel");
    EXPECT_EQ(b.substr(39, 5), std::string("\x4B\x4C\x4A\x06\x00", 5));
    // Central directory entry right after the member.
    EXPECT_EQ(U32At(b, kCentral), 0x02014B50u);
    EXPECT_EQ(U16At(b, kCentral + 4), 20);
    EXPECT_EQ(b.substr(kCentral + 6, 26), b.substr(4, 26));  // copied from the local header
    for (std::size_t at : {32, 34, 36}) EXPECT_EQ(U16At(b, kCentral + at), 0) << at;
    EXPECT_EQ(U32At(b, kCentral + 38), 0u);  // external attributes
    EXPECT_EQ(U32At(b, kCentral + 42), 0u);  // local header offset
    EXPECT_EQ(b.substr(kCentral + 46, 9), "a.txt.kel");
    // End record.
    EXPECT_EQ(U32At(b, kEnd), 0x06054B50u);
    EXPECT_EQ(U16At(b, kEnd + 4), 0);
    EXPECT_EQ(U16At(b, kEnd + 6), 0);
    EXPECT_EQ(U16At(b, kEnd + 8), 1);
    EXPECT_EQ(U16At(b, kEnd + 10), 1);
    EXPECT_EQ(U32At(b, kEnd + 12), 55u);
    EXPECT_EQ(U32At(b, kEnd + 16), kCentral);
    EXPECT_EQ(U16At(b, kEnd + 20), 0);
}

TEST(ZipRecords, LoadReadsEveryRecord) {
    TZipFile zip = Load(Archive("a.txt.kel", "abc"));
    ASSERT_EQ(zip.Count(), 1);
    EXPECT_EQ(zip.Uncompressed(0), "abc");
    EXPECT_EQ(zip.Files[0].FileName, "a.txt.kel");
    EXPECT_EQ(zip.CentralDirectory[0].FileName, "a.txt.kel");
    EXPECT_EQ(zip.CentralDirectory[0].Crc32, 0x352441C2u);
    EXPECT_EQ(zip.EndOfCentralDirectory.TotalEntries, 1);
    EXPECT_EQ(zip.EndOfCentralDirectory.CentralDirectoryOffset, kCentral);
}

TEST(ZipRecords, SeveralMembersAndCommentsRoundTrip) {
    TZipFile zip;
    zip.AddFile("one", 0x20);
    zip.AddFile("two", 0);
    zip.SetUncompressed(0, "first member");
    zip.SetUncompressed(1, std::string(5000, 'x'));
    zip.ZipComment = "archive note";
    zip.CentralDirectory[1].Comment = "entry note";
    zip.CentralDirectory[1].CommentLength = 10;
    TZipFile back = Load(Saved(zip));
    ASSERT_EQ(back.Count(), 2);
    EXPECT_EQ(back.Uncompressed(0), "first member");
    EXPECT_EQ(back.Uncompressed(1), std::string(5000, 'x'));
    EXPECT_EQ(back.CentralDirectory[0].ExternalAttributes, 0x20u);
    EXPECT_EQ(back.CentralDirectory[1].LocalHeaderOffset, 30 + 3 + zip.Files[0].CompressedData.size());
    EXPECT_EQ(back.CentralDirectory[1].Comment, "entry note");
    EXPECT_EQ(back.ZipComment, "archive note");
}

TEST(ZipRecords, LargeMemberRoundTrips) {
    std::string data;
    std::uint32_t x = 12345;
    for (int i = 0; i < 1'000'000; ++i) {
        x = x * 1103515245u + 12345u;
        data += static_cast<char>('0' + (x >> 16) % 10);
    }
    EXPECT_EQ(Load(Archive("big", data)).Uncompressed(0), data);
}

TEST(ZipRecords, EmptyMemberIsTheDeflateStreamOfNothing) {
    TZipFile zip;
    zip.AddFile("empty", 0);
    zip.SetUncompressed(0, "");
    EXPECT_EQ(zip.Files[0].Crc32, 0u);
    EXPECT_EQ(zip.Files[0].UncompressedSize, 0u);
    EXPECT_EQ(zip.Files[0].CompressedData, std::string("\x03\x00", 2));
    EXPECT_EQ(Load(Saved(zip)).Uncompressed(0), "");
}

TEST(ZipRecords, MemberDateIsTheDosStamp) {
    TZipFile zip;
    zip.AddFile("d", 0);
    double before = NowDateTime();
    zip.SetUncompressed(0, "x");
    double stamped = zip.MemberDate(0);
    EXPECT_GE(stamped, before - 3.0 / 86400);  // 2-second resolution
    EXPECT_LE(stamped, NowDateTime() + 1.0 / 86400);

    DateTimeParts parts{2024, 5, 17, 13, 45, 22, 0};
    std::uint32_t stamp = *PackDosDateTime(parts);
    zip.Files[0].ModTime = static_cast<std::uint16_t>(stamp & 0xFFFF);
    zip.Files[0].ModDate = static_cast<std::uint16_t>(stamp >> 16);
    EXPECT_DOUBLE_EQ(zip.MemberDate(0), EncodeDateTime(parts));
    zip.Files[0].ModDate = 0;  // month 0: no such date
    EXPECT_EQ(zip.MemberDate(0), 0.0);
}

TEST(ZipErrors, ChangedCrcIsReportedWithTheMemberName) {
    std::string b = Archive("a.txt.kel", "abc");
    b[14] = static_cast<char>(b[14] ^ 1);
    TZipFile zip = Load(b);
    try {
        zip.Uncompressed(0);
        FAIL() << "no CRC error";
    } catch (const EZipFileCRCError& e) {
        EXPECT_STREQ(e.what(), "CRC Error in \"a.txt.kel\".");
    }
}

TEST(ZipErrors, IndexOutOfRange) {
    TZipFile zip = Load(Archive("a.txt.kel", "abc"));
    for (int i : {1, -1}) {
        EXPECT_THROW(zip.Uncompressed(i), EZipIndexError);
        EXPECT_THROW(zip.SetUncompressed(i, "x"), EZipIndexError);
        EXPECT_THROW(zip.MemberDate(i), EZipIndexError);
    }
    TZipFile empty;
    try {
        empty.Uncompressed(0);
        FAIL();
    } catch (const EKelError& e) {
        EXPECT_STREQ(e.what(), "Index out of range.");
    }
}

TEST(ZipErrors, NonArchivesLoadWithoutMembers) {
    EXPECT_EQ(Load("").Count(), 0);
    EXPECT_EQ(Load("PK").Count(), 0);
    EXPECT_EQ(Load("This is plain text, not an archive at all.").Count(), 0);
    // A local header signature that is not at a 4-byte step is not found.
    EXPECT_EQ(Load("xy" + Archive("a", "abc")).Count(), 0);
    // One at a 4-byte step is.
    EXPECT_EQ(Load("junk" + Archive("a", "abc")).Uncompressed(0), "abc");
}

TEST(ZipDamage, EveryTruncationIsCaughtOrClean) {
    std::string b = Archive("a.txt.kel", "abc");
    for (std::size_t cut = 4; cut < b.size(); ++cut) {
        if (cut == kCentral || cut == kEnd) {
            // Ends cleanly between records: the members are all there.
            EXPECT_EQ(Load(b.substr(0, cut)).Uncompressed(0), "abc") << cut;
            continue;
        }
        try {
            Load(b.substr(0, cut));
            ADD_FAILURE() << "cut at " << cut << " loaded";
        } catch (const EZipFileError& e) {
            EXPECT_EQ(std::string(e.what()).rfind("Damaged archive: ", 0), 0u) << e.what();
        }
    }
}

TEST(ZipDamage, LengthsPastTheEndAllocateNothingLarge) {
    for (std::size_t field : {std::size_t{18}, std::size_t{26}, std::size_t{28}}) {
        std::string b = Archive("a.txt.kel", "abc");
        if (field == 18)
            PutU32(b, field, 0xFFFFFFF0u);
        else
            PutU16(b, field, 0xFFFF);
        test::ResetLargestAllocation();
        EXPECT_THROW(Load(b), EZipFileError) << field;
        EXPECT_LT(test::LargestAllocation(), std::size_t{4} << 20) << field;
    }
}

TEST(ZipDamage, MoreCentralEntriesThanMembers) {
    std::string b = Archive("a.txt.kel", "abc");
    std::string entry = b.substr(kCentral, kEnd - kCentral);
    b.insert(kEnd, entry);
    try {
        Load(b);
        FAIL();
    } catch (const EZipFileError& e) {
        EXPECT_STREQ(e.what(), "Damaged archive: more central directory entries than members");
    }
}

TEST(ZipDamage, AFailedLoadKeepsWhatTheArchiveHeld) {
    TZipFile zip = Load(Archive("a.txt.kel", "abc"));
    std::istringstream damaged(Archive("b", "xyz").substr(0, 40));
    EXPECT_THROW(zip.LoadFromStream(damaged), EZipFileError);
    ASSERT_EQ(zip.Count(), 1);
    EXPECT_EQ(zip.Uncompressed(0), "abc");
}

TEST(ZipDamage, HugeClaimedSizeIsRefusedAfterTheRealData) {
    // About 1 KiB of deflate data that really holds 1 MiB, claiming 4 GiB.
    std::string b = Archive("bomb", std::string(1 << 20, '0'));
    ASSERT_LT(U32At(b, 18), 2048u);
    PutU32(b, 22, 0xFFFFFFFFu);
    TZipFile zip = Load(b);
    test::ResetLargestAllocation();
    try {
        zip.Uncompressed(0);
        FAIL();
    } catch (const EZipFileError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Damaged archive: \"bomb\" inflates to 1048576 bytes, fewer than its recorded 4294967295");
    }
    EXPECT_LT(test::LargestAllocation(), std::size_t{4} << 20);
}

TEST(ZipDamage, OutputBeyondTheRecordedSize) {
    std::string b = Archive("a.txt.kel", "abc");
    PutU32(b, 22, 2);
    EXPECT_THROW(Load(b).Uncompressed(0), EZipFileError);
    PutU32(b, 22, 0);
    EXPECT_THROW(Load(b).Uncompressed(0), EZipFileError);
}

TEST(ZipDamage, GarbageDataIsAClearError) {
    std::string b = Archive("a.txt.kel", "abc");
    b[39] = '\xFF';  // reserved block type
    try {
        Load(b).Uncompressed(0);
        FAIL();
    } catch (const EZipFileError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Damaged archive: the data of \"a.txt.kel\" cannot be inflated", 0), 0u)
            << e.what();
    }
}

TEST(ZipMethods, StoredMembersAreReadAfterTheirCrcCheck) {
    TZipFile zip;
    zip.AddFile("s.txt", 0);
    TLocalFile& f = zip.Files[0];
    f.Method = 0;
    f.CompressedData = "stored";
    f.CompressedSize = f.UncompressedSize = 6;
    f.Crc32 = ZipCrc32("stored");
    EXPECT_EQ(Load(Saved(zip)).Uncompressed(0), "stored");
    f.Crc32 ^= 1;
    EXPECT_THROW(Load(Saved(zip)).Uncompressed(0), EZipFileCRCError);
}

TEST(ZipMethods, OtherMethodsDescriptorsAndEncryptionAreRefusedClearly) {
    auto expectUnsupported = [](std::string b, bool atLoad) {
        try {
            TZipFile zip = Load(b);
            ASSERT_FALSE(atLoad);
            zip.Uncompressed(0);
            FAIL();
        } catch (const EZipFileError& e) {
            EXPECT_EQ(std::string(e.what()).rfind("Unsupported archive: ", 0), 0u) << e.what();
        }
    };
    std::string b = Archive("a", "abc");
    PutU16(b, 8, 12);  // bzip2
    expectUnsupported(b, false);
    b = Archive("a", "abc");
    PutU16(b, 6, 1);  // encrypted
    expectUnsupported(b, false);
    b = Archive("a", "abc");
    PutU16(b, 6, 8);  // sizes in a data descriptor after the data
    PutU32(b, 14, 0);
    PutU32(b, 18, 0);
    PutU32(b, 22, 0);
    expectUnsupported(b, true);
}

TEST(ZipHeaderOnly, ReadsOnlyTheFirstLocalHeader) {
    std::string b = Archive("a.txt.kel", "abc") + "anything after";
    std::istringstream in(b);
    auto first = ReadFirstLocalHeader(in);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->FileName, "a.txt.kel");
    EXPECT_TRUE(first->CompressedData.empty());
    EXPECT_EQ(in.tellg(), 39);  // stopped after the name
    EXPECT_EQ(LocalFileDate(*first), Load(b).MemberDate(0));
    std::istringstream none("not an archive");
    EXPECT_FALSE(ReadFirstLocalHeader(none).has_value());
}

TEST(ZipFiles, SaveAndLoadFiles) {
    test::ScratchDir dir;
    TZipFile zip;
    zip.AddFile("m", 0);
    zip.SetUncompressed(0, "file data");
    ASSERT_TRUE(zip.SaveToFile(dir.File("a.zip")));
    TZipFile back;
    ASSERT_TRUE(back.LoadFromFile(dir.File("a.zip")));
    EXPECT_EQ(back.Uncompressed(0), "file data");
    EXPECT_EQ(zip.SaveToFile(dir.File("missing/a.zip")).status, TIoStatus::WriteFailed);
    TIoResult missing = back.LoadFromFile(dir.File("missing.zip"));
    EXPECT_EQ(missing.description(), "Cannot open file \"" + dir.File("missing.zip") + "\": No such file or directory");
    EXPECT_EQ(back.Uncompressed(0), "file data");
    test::WriteFileForTest(dir.File("damaged.zip"), std::string("PK\3\4") + std::string(60, '\x7f'));
    TIoResult damaged = back.LoadFromFile(dir.File("damaged.zip"));
    EXPECT_EQ(damaged.status, TIoStatus::Damaged);
    EXPECT_NE(damaged.reason.find("in \"" + dir.File("damaged.zip") + "\""), std::string::npos) << damaged.reason;
    EXPECT_EQ(test::ListFolder(dir.Path()), (std::vector<std::string>{"a.zip", "damaged.zip"}));
}

}  // namespace
}  // namespace kel
