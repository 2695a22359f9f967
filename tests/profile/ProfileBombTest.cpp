// Zipped profiles whose member inflates to gigabytes: refused at once, with
// a plain message, taking less memory than the largest real profile.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <string>

#include "support/probes/AllocationProbe.h"
#include "profile/Kel.h"
#include "support/TestSupport.h"
#include "zip/SciZipFile.h"

namespace kel {
namespace {

constexpr std::size_t kChunk = std::size_t{1} << 20;

// Raw deflate of `bytes`, ended by a full flush (or the stream's end), so
// that the next piece compresses without reference to this one.
std::string DeflatePiece(z_stream& z, const std::string& bytes, int flush) {
    std::string out(deflateBound(&z, static_cast<uLong>(bytes.size())) + 64, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    z.avail_in = static_cast<uInt>(bytes.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&z, flush), flush == Z_FINISH ? Z_STREAM_END : Z_OK);
    out.resize(out.size() - z.avail_out);
    return out;
}

// A zipped "profile" whose one member is `size` bytes of `unit` repeated
// (unit divides 1 MiB), with its true size and CRC-32. The member is
// deflated as a stream, piece by piece: after a full flush equal pieces
// give equal bytes, so one mebibyte is compressed and its bytes repeated,
// never the whole member held.
void WriteBomb(const std::string& path, const std::string& unit, std::uint64_t size) {
    std::string chunk;
    while (chunk.size() < kChunk) chunk += unit;
    z_stream z{};
    ASSERT_EQ(deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
    std::string first = DeflatePiece(z, chunk, Z_FULL_FLUSH);
    std::string piece = DeflatePiece(z, chunk, Z_FULL_FLUSH);
    ASSERT_EQ(first, piece) << "equal pieces after a full flush compress alike";
    std::string data = first + piece;
    auto crcOfChunk = static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(chunk.data()), kChunk));
    std::uint32_t crc = static_cast<std::uint32_t>(crc32_combine(crcOfChunk, crcOfChunk, kChunk));
    std::uint64_t done = 2 * kChunk;
    for (; done + kChunk <= size; done += kChunk) {
        data += piece;
        crc = static_cast<std::uint32_t>(crc32_combine(crc, crcOfChunk, kChunk));
    }
    std::string rest = chunk.substr(0, static_cast<std::size_t>(size - done));
    data += DeflatePiece(z, rest, Z_FINISH);
    crc = static_cast<std::uint32_t>(crc32_combine(
        crc, crc32(0, reinterpret_cast<const Bytef*>(rest.data()), static_cast<uInt>(rest.size())),
        static_cast<z_off_t>(rest.size())));
    deflateEnd(&z);

    TZipFile zip;
    zip.AddFile("bomb.txt.kel", 0);
    TLocalFile& f = zip.Files[0];
    TFileHeader& h = zip.CentralDirectory[0];
    f.Crc32 = h.Crc32 = crc;
    f.CompressedSize = h.CompressedSize = static_cast<std::uint32_t>(data.size());
    f.UncompressedSize = h.UncompressedSize = static_cast<std::uint32_t>(size);
    f.CompressedData = std::move(data);
    zip.SaveToFile(path);
}

// The largest real profile: 32767 slots, 29 rows in use, counts up to 10^6.
void WriteLargestProfile(const std::string& path) {
    TKel kel;
    kel.SetArrays(28, 32767);
    kel.nim = 29;
    kel.njm = 32767;
    kel.f6 = 500;
    kel.DateOrigin = 46000.5;
    std::uint32_t x = 2463534242u;
    for (std::size_t r = 0; r < 29; ++r) {
        kel.Name[r] = std::to_string(17 + 2 * r);
        kel.Cntm[r] = 100;
        for (std::int32_t& count : kel.Counts[r]) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            count = static_cast<std::int32_t>(x % 1000001u);
        }
    }
    ASSERT_TRUE(kel.SaveZipped(path));
}

// The peak of bytes held while loading path, and the reason the load
// failed; with `memory`, the load has no more than that.
std::pair<std::size_t, std::string> Load(const std::string& path, std::size_t memory = 0) {
    TKel kel;
    test::ResetLargestAllocation();
    test::LimitHeldBytes(memory);
    std::string error = kel.LoadFromFile(path).io.reason;
    test::LimitHeldBytes(0);
    return {test::PeakHeldBytes(), error};
}

TEST(ProfileBomb, MembersOfGigabytesFailPlainlyWithLessMemoryThanTheLargestProfile) {
    test::ScratchDir dir;
    test::RecordedMessages boxes;
    WriteLargestProfile(dir.File("largest.kel"));
    auto [largestPeak, largestError] = Load(dir.File("largest.kel"));
    ASSERT_EQ(largestError, "");

    struct Bomb {
        std::string name, unit;
        std::uint64_t size;
    };
    for (const Bomb& bomb : {Bomb{"elements.kel", "<c>1</c>", std::uint64_t{1} << 30},
                             Bomb{"zeros.kel", std::string(8, '\0'), (std::uint64_t{1} << 32) - 1}}) {
        std::string path = dir.File(bomb.name);
        WriteBomb(path, bomb.unit, bomb.size);
        auto [peak, error] = Load(path);
        EXPECT_EQ(error, "Not a profile: in \"" + path +
                             "\", the member \"bomb.txt.kel\" inflates past 23 MiB, more than any profile");
        EXPECT_LT(peak, largestPeak) << bomb.name;
        EXPECT_LT(peak, std::size_t{16} << 20) << bomb.name;
    }
    EXPECT_TRUE(boxes.shown.empty());
}

// A sound profile on a machine short of memory: the message says so, in the
// archive, in the parser and in a plain file alike.
TEST(ProfileBomb, RunningOutOfMemoryIsNeverADamagedProfile) {
    test::ScratchDir dir;
    std::string zipped = dir.File("largest.kel");
    WriteLargestProfile(zipped);
    TKel kel;
    kel.LoadFromFile(zipped);
    std::string plain = dir.File("plain.kel");
    test::WriteFileForTest(plain, kel.BuildXml());
    for (const std::string& path : {zipped, plain})
        for (std::size_t memory : {std::size_t{1} << 20, std::size_t{18} << 20})
            EXPECT_EQ(Load(path, memory).second, "Not enough memory to read \"" + path + "\"") << memory;
}

}  // namespace
}  // namespace kel
