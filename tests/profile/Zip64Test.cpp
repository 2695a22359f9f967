// Zip64 archives, their records written out by hand: recognised and
// refused by name, never taken for damaged plain archives.
#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>

#include "profile/Kel.h"
#include "support/TestSupport.h"
#include "zip/SciZipFile.h"

namespace kel {
namespace {

class Bytes {
public:
    Bytes& U16(std::uint16_t v) { return Put(v, 2); }
    Bytes& U32(std::uint32_t v) { return Put(v, 4); }
    Bytes& U64(std::uint64_t v) { return Put(v, 8); }
    Bytes& Text(const std::string& s) {
        out += s;
        return *this;
    }
    std::string out;

private:
    Bytes& Put(std::uint64_t v, int size) {
        for (int i = 0; i < size; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
        return *this;
    }
};

constexpr std::uint64_t kFourGiB = std::uint64_t{1} << 32;
const std::string kName = "big.txt.kel";

// A member of 4 GiB as a zip64 writer stores it: 0xFFFFFFFF in both sizes of
// the local header and the true ones in its zip64 extra field; its data is
// cut short, as nobody reads that far.
std::string Zip64LocalHeader() {
    Bytes extra;
    extra.U16(0x0001).U16(16).U64(kFourGiB + 10).U64(kFourGiB / 1000);
    Bytes b;
    b.U32(0x04034B50).U16(45).U16(0).U16(8).U16(0).U16(0x21).U32(0x12345678).U32(0xFFFFFFFF).U32(0xFFFFFFFF);
    b.U16(static_cast<std::uint16_t>(kName.size())).U16(static_cast<std::uint16_t>(extra.out.size()));
    return b.Text(kName).Text(extra.out).Text(std::string(4096, '\x03')).out;
}

// A sound one-member archive whose central directory is followed by the
// zip64 end of central directory record and its locator.
std::string Zip64EndRecords() {
    TZipFile zip;
    zip.AddFile("a.txt.kel", 0);
    zip.SetUncompressed(0, "abc");
    std::ostringstream plain;
    zip.SaveToStream(plain);
    std::string bytes = plain.str();
    std::size_t end = bytes.size() - 22;  // the plain end record
    std::uint32_t directory = zip.EndOfCentralDirectory.CentralDirectoryOffset;
    Bytes records;
    records.U32(0x06064B50).U64(44).U16(45).U16(45).U32(0).U32(0).U64(1).U64(1);
    records.U64(end - directory).U64(directory);
    records.U32(0x07064B50).U32(0).U64(end).U32(1);
    return bytes.substr(0, end) + records.out + bytes.substr(end);
}

TEST(Zip64, RecognisedAndRefusedByName) {
    test::ScratchDir dir;
    for (const std::string& bytes : {Zip64LocalHeader(), Zip64EndRecords()}) {
        std::istringstream in(bytes);
        TZipFile zip;
        try {
            zip.LoadFromStream(in);
            ADD_FAILURE() << "a zip64 archive loaded";
        } catch (const EZipFileError& e) {
            EXPECT_NE(std::string(e.what()).find("Unsupported archive: zip64 archives are not supported"),
                      std::string::npos)
                << e.what();
        }
        std::string path = dir.File("zip64.kel");
        test::WriteFileForTest(path, bytes);
        TKel kel;
        TProfileLoadResult loaded = kel.LoadFromFile(path);
        EXPECT_TRUE(loaded.ended);
        EXPECT_NE(loaded.io.reason.find("zip64 archives are not supported"), std::string::npos) << loaded.io.reason;
        EXPECT_NE(loaded.io.reason.find(path), std::string::npos) << loaded.io.reason;
    }
}

}  // namespace
}  // namespace kel
