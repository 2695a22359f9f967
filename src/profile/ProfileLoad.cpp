// Format detection, the legacy reader and the fix-ups every load ends with.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "common/DateTime.h"
#include "common/Errors.h"
#include "common/Platform.h"
#include "common/TextEncoding.h"
#include "profile/Kel.h"
#include "profile/LegacyFormat.h"

namespace kel {

namespace {

constexpr std::uint16_t kZipSignature = 0x4B50;  // the bytes "PK"

// Dates outside [30000, 50000] (18 Feb 1982 .. 21 Nov 2036) are taken as unset.
constexpr double kEarliestProfileDate = 30000;
constexpr double kLatestProfileDate = 50000;

// A zip archive whose first member starts the file carries that member's
// MS-DOS time stamp in its first 30 bytes: all a header-only load needs.
constexpr std::size_t kLocalHeaderSize = 30;
// Enough for that header with a usual member name, in the same read as the signature.
constexpr std::size_t kFirstRead = 64;

std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

std::string BaseName(const std::string& path) {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

using FileHandle = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// Reads up to `size` bytes of the open file; a short result means it ended.
std::vector<std::uint8_t> ReadUpTo(std::FILE* file, std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    bytes.resize(std::fread(bytes.data(), 1, size, file));
    return bytes;
}

// A little-endian view of a block read from the file; bytes beyond what was
// read count as zero, so a short block never reads outside its data.
class Block {
public:
    Block(std::vector<std::uint8_t> bytes, std::size_t base) : bytes_(std::move(bytes)), base_(base) {}
    bool Has(std::size_t offset, std::size_t size) const { return offset - base_ + size <= bytes_.size(); }
    std::uint8_t Byte(std::size_t offset) const {
        std::size_t i = offset - base_;
        return i < bytes_.size() ? bytes_[i] : 0;
    }
    std::uint16_t U16(std::size_t offset) const {
        return static_cast<std::uint16_t>(Byte(offset) | (Byte(offset + 1) << 8));
    }
    std::int16_t I16(std::size_t offset) const { return static_cast<std::int16_t>(U16(offset)); }
    std::int32_t I32(std::size_t offset) const {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(U16(offset)) |
                                         (static_cast<std::uint32_t>(U16(offset + 2)) << 16));
    }
    Real48 R48(std::size_t offset) const {
        Real48::Bytes b{};
        for (std::size_t i = 0; i < b.size(); ++i) b[i] = Byte(offset + i);
        return Real48::FromBytes(b);
    }
    double F64(std::size_t offset) const {
        std::uint64_t bits = 0;
        for (std::size_t i = 8; i-- > 0;) bits = (bits << 8) | Byte(offset + i);
        double value = 0;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    // A String[n]: the length byte counts, cut to n (a larger byte means
    // damage). Its bytes are Windows-1252, one character each, as the
    // instrument software wrote them; the result is UTF-8.
    std::string ShortString(std::size_t offset, int capacity, bool& damaged) const {
        int length = Byte(offset);
        if (length > capacity) {
            damaged = true;
            length = capacity;
        }
        std::string text;
        for (int i = 0; i < length; ++i) text += static_cast<char>(Byte(offset + 1 + static_cast<std::size_t>(i)));
        return Windows1252ToUtf8(text);
    }

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t base_;
};

std::int16_t Clamp16(std::int16_t value, int high) {
    if (value < 0) return 0;
    return value > high ? static_cast<std::int16_t>(high) : value;
}

// Reads the legacy record; damage and a missing flow-tube section are noted
// in `result`, which names the file.
void ReadLegacy(TKel& kel, std::FILE* file, TProfileLoadResult& result) {
    using namespace legacy;
    // The two ignored words and the main block, in one read.
    Block main(ReadUpTo(file, kSecondSection - 2), 2);
    bool damaged = !main.Has(2, kSecondSection - 2);
    bool ended = damaged;

    std::int16_t nim = main.I16(kNimOffset), njm = main.I16(kNjmOffset);
    kel.nim = Clamp16(nim, kRows);
    kel.njm = Clamp16(njm, kSlots);
    damaged = damaged || kel.nim != nim || kel.njm != njm;
    kel.im = main.I16(kImOffset);
    kel.jm = main.I16(kJmOffset);
    kel.SetArrays(28, 200);
    for (int r = 0; r < kRows; ++r) {
        auto row = static_cast<std::size_t>(r);
        kel.Dam[row] = main.U16(kDamOffset + 2 * row);
        kel.Cntm[row] = main.U16(kCntmOffset + 2 * row);
        for (int s = 0; s < kSlots; ++s) kel.Counts[row][static_cast<std::size_t>(s)] = main.I32(CountOffset(r, s));
        kel.Name[row] = main.ShortString(kNamesOffset + kNameSize * row, kNameLength, damaged);
    }
    for (int s = 0; s < kSlots; ++s) {
        auto slot = static_cast<std::size_t>(s);
        kel.Times[slot] = main.I32(kTimesOffset + 4 * slot);
    }

    kel.p = 0.5;
    kel.fc = 150;
    kel.f1 = 2;
    if (!ended) {
        Block second(ReadUpTo(file, kThirdSection - kSecondSection), kSecondSection);
        Real48* fields[] = {&kel.p, &kel.fc, &kel.f1};
        for (std::size_t i = 0; i < 3; ++i) {
            std::size_t at = kSecondSection + kReal48Size * i;
            if (second.Has(at, kReal48Size)) *fields[i] = second.R48(at);
        }
        ended = !second.Has(kSecondSection, kThirdSection - kSecondSection);
    }
    result.flowTubeMissing = ended;

    Block third(ended ? std::vector<std::uint8_t>{} : ReadUpTo(file, kFourthSection - kThirdSection),
                kThirdSection);
    // A field cut by the end of the file keeps what it held before.
    Real48* reals[] = {&kel.Tg, &kel.Aft, &kel.lr, &kel.f4, &kel.f5, &kel.f6, &kel.f7, &kel.f8};
    for (std::size_t i = 0; i < 8; ++i) {
        std::size_t at = kThirdSection + kReal48Size * i;
        if (third.Has(at, kReal48Size)) *reals[i] = third.R48(at);
    }
    if (third.Has(kDateOriginOffset, 8)) kel.DateOrigin = third.F64(kDateOriginOffset);
    bool cut = false;
    if (third.Has(kSystemIdOffset, kTextSize)) kel.SystemId = third.ShortString(kSystemIdOffset, kTextLength, cut);
    if (!third.Has(kThirdSection, kFourthSection - kThirdSection)) {
        ended = true;
        kel.Tg = 300;
        kel.Aft = Real48::FromBytes({0x84, 0xF2, 0x22, 0x51, 0x2F, 0x51});  // pi * 4.08^2 / 4
        kel.lr = 70;
    }

    Block fourth(ended ? std::vector<std::uint8_t>{} : ReadUpTo(file, kFileSize - kFourthSection),
                 kFourthSection);
    if (fourth.Has(kFourthSection, kFileSize - kFourthSection)) {
        kel.ion = fourth.ShortString(kFourthSection, kTextLength, cut);
        kel.reactant = fourth.ShortString(kFourthSection + kTextSize, kTextLength, cut);
        kel.comment = fourth.ShortString(kFourthSection + 2 * kTextSize, kTextLength, cut);
    } else {
        kel.ion = kel.Name[0];
        kel.reactant.clear();
        kel.comment.clear();
    }
    if (damaged || cut) {
        result.io.status = TIoStatus::Damaged;
        result.io.reason = "Damaged profile: " + BaseName(result.io.file);
    }
}

// The archive and XML readers describe what is wrong with the text they
// were given; a user with a folder of profiles also needs to know which file.
std::string WithFileNamed(const std::string& reason, const std::string& fileName) {
    if (reason.find(fileName) != std::string::npos) return reason;
    return reason + " (in \"" + fileName + "\")";
}

}  // namespace

bool TKel::ReadZipDateFromHeader(int fd, const std::uint8_t* head, long got) {
    if (got < static_cast<long>(kLocalHeaderSize) || head[2] != 3 || head[3] != 4) return false;
    // The header must be whole, its name and extra field included, as the
    // archive reader demands.
    std::size_t needed = kLocalHeaderSize + Le16(head + 26) + Le16(head + 28);
    if (static_cast<std::size_t>(got) < needed && os::RegularFileSize(fd).value_or(0) < needed) return false;
    std::uint32_t stamp = (static_cast<std::uint32_t>(Le16(head + 12)) << 16) | Le16(head + 10);
    DateOrigin = UnpackDosDateTime(stamp).value_or(0.0);
    ProfileDate = DateOrigin;
    return true;
}

TProfileLoadResult TKel::LoadFromFile(const std::string& fileName) {
    TProfileLoadResult result;
    result.io.file = fileName;
    try {
        ReadProfileFile(result);
    } catch (const std::bad_alloc&) {
        // The file may be sound; the machine was short of memory.
        result.io.status = TIoStatus::Failed;
        result.io.reason = "Not enough memory to read \"" + fileName + "\"";
        result.ended = true;
    } catch (const EFileError& e) {
        result.io.status = TIoStatus::OpenFailed;
        result.io.reason = e.what();
        result.ended = true;
    } catch (const EKelError& e) {
        // A damaged archive or text, or a value that does not convert.
        result.io.status = TIoStatus::Damaged;
        result.io.reason = WithFileNamed(e.what(), fileName);
        result.ended = true;
    } catch (const std::exception& e) {
        result.io.status = TIoStatus::Failed;
        result.io.reason = WithFileNamed(e.what(), fileName);
        result.ended = true;
    }
    return result;
}

void TKel::ReadProfileFile(TProfileLoadResult& result) {
    const std::string& fileName = result.io.file;
    DateOrigin = 0;
    // The two bytes that tell the format are read without a stdio buffer:
    // the zip and XML readers open the file themselves, and a listing of
    // thousands of zipped profiles would pay a status call and a 4 KB read
    // for each.
    int fd = os::OpenForReading(fileName);
    if (fd < 0) {
        result = {{TIoStatus::OpenFailed, fileName, std::strerror(errno)}};
        return;
    }
    std::uint8_t head[kFirstRead] = {};
    long got = os::ReadSome(fd, head, sizeof head);
    std::uint16_t signature = got >= 2 ? static_cast<std::uint16_t>(head[0] | (head[1] << 8)) : 0;
    if (signature == kZipSignature && HeaderOnly && ReadZipDateFromHeader(fd, head, got)) {
        os::Close(fd);
    } else if (signature == legacy::kSignature) {
        FileHandle file(os::SeekTo(fd, 2) ? os::ReadStreamOf(fd) : nullptr, &std::fclose);
        if (!file) {
            int error = errno;
            os::Close(fd);
            result = {{TIoStatus::OpenFailed, fileName, std::strerror(error)}};
            return;
        }
        ReadLegacy(*this, file.get(), result);
    } else {
        os::Close(fd);
        if (signature == kZipSignature)
            ReadZipFile(fileName);
        else
            ReadXmlFile(fileName);
    }
    FScan = f6 > 0 ? static_cast<double>(f6) : 500.0;
    UpdateIonMasses();
    ProfileDate = DateOrigin;
    if (ProfileDate < kEarliestProfileDate || ProfileDate > kLatestProfileDate) ProfileDate = FileProfileDate(fileName);
}

double FileProfileDate(const std::string& fileName) {
    auto fileDate = FileDateTime(fileName);
    return fileDate ? *fileDate : NowDateTime();
}

}  // namespace kel
