#include "zip/SciZipFile.h"

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <istream>
#include <limits>
#include <new>
#include <ostream>
#include <sstream>

#include "common/DateTime.h"
#include "common/Platform.h"
#include "common/SafeFile.h"
#include "zip/ZipCodec.h"

namespace kel {

namespace {

constexpr std::uint32_t kLocalSignature = 0x04034B50;
constexpr std::uint32_t kCentralSignature = 0x02014B50;
constexpr std::uint32_t kEndSignature = 0x06054B50;
constexpr std::uint32_t kZip64EndSignature = 0x06064B50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064B50;
// A 32-bit size of all ones says the true size is in a zip64 extra field.
constexpr std::uint32_t kZip64Size = 0xFFFFFFFF;
constexpr std::uint16_t kFlagEncrypted = 0x0001;
constexpr std::uint16_t kFlagDataDescriptor = 0x0008;
constexpr std::uint16_t kMethodStored = 0;
constexpr std::uint16_t kMethodDeflated = 8;

// Lengths read from the file are only believed as far as the data goes: a
// claimed size is read in steps of at most these many bytes.
constexpr std::size_t kReadStep = std::size_t{1} << 20;

using zipcodec::Damaged;
using zipcodec::Quoted;

[[noreturn]] void Unsupported(const std::string& what) { throw EZipFileError("Unsupported archive: " + what); }

// Zip64 archives keep their true sizes and offsets in records of their own;
// read as plain records they would pass for damage.
[[noreturn]] void Zip64(const std::string& where) { Unsupported("zip64 archives are not supported (" + where + ")"); }

// Little-endian fields of a fixed record read into a byte buffer.
class Fields {
public:
    explicit Fields(const unsigned char* bytes) : p_(bytes) {}
    std::uint16_t U16() {
        auto v = static_cast<std::uint16_t>(p_[0] | (p_[1] << 8));
        p_ += 2;
        return v;
    }
    std::uint32_t U32() {
        std::uint32_t lo = U16();
        return lo | (static_cast<std::uint32_t>(U16()) << 16);
    }

private:
    const unsigned char* p_;
};

// Reads from the stream and turns every short read into "Damaged archive".
class Reader {
public:
    explicit Reader(std::istream& in) : in_(in) {
        // A seekable stream tells how much data there is, so a claimed
        // length can be checked before anything is allocated for it.
        std::streampos here = in_.tellg();
        if (here < 0) return;
        in_.seekg(0, std::ios::end);
        std::streampos end = in_.tellg();
        in_.seekg(here);
        if (end >= here && in_) left_ = static_cast<std::size_t>(end - here);
        in_.clear();
    }

    // Reads a 32-bit value (cleared first); returns how many bytes came.
    std::size_t Signature(std::uint32_t& value) {
        unsigned char b[4] = {0, 0, 0, 0};
        std::size_t got = Read(reinterpret_cast<char*>(b), 4);
        value = Fields(b).U32();
        return got;
    }
    void Exact(unsigned char* bytes, std::size_t size, const std::string& where) {
        if (Read(reinterpret_cast<char*>(bytes), size) != size) Damaged("the data ends inside " + where);
    }
    // `size` bytes, allocated only once the stream is known to hold them,
    // or else as fast as they arrive.
    std::string Bytes(std::size_t size, const std::string& where) {
        std::string bytes;
        if (left_) {
            if (size > *left_) Damaged("the data ends inside " + where);
            bytes.resize(size);
            if (Read(bytes.data(), size) != size) Damaged("the data ends inside " + where);
            return bytes;
        }
        while (bytes.size() < size) {
            std::size_t done = bytes.size();
            std::size_t step = std::min(size - done, kReadStep);
            bytes.resize(done + step);
            if (Read(bytes.data() + done, step) != step) Damaged("the data ends inside " + where);
        }
        return bytes;
    }

private:
    std::size_t Read(char* bytes, std::size_t size) {
        in_.read(bytes, static_cast<std::streamsize>(size));
        auto got = static_cast<std::size_t>(in_.gcount());
        if (left_) *left_ -= std::min(got, *left_);
        return got;
    }
    std::istream& in_;
    std::optional<std::size_t> left_;  // bytes left in a seekable stream
};

// Step 1 of a load: 4-byte steps from the current position to the first
// local header. False when the stream ends first.
bool FindFirstMember(Reader& reader) {
    std::uint32_t value = 0;
    while (reader.Signature(value) == 4)
        if (value == kLocalSignature) return true;
    return false;
}

// Whether an extra field holds the zip64 block (header ID 1), where a size
// of all ones in the fixed part is really kept.
bool HasZip64Field(const std::string& extra) {
    auto* p = reinterpret_cast<const unsigned char*>(extra.data());
    for (std::size_t at = 0; at + 4 <= extra.size();) {
        Fields f(p + at);
        std::uint16_t id = f.U16();
        std::uint16_t size = f.U16();
        if (id == 0x0001) return true;
        at += 4 + std::size_t{size};
    }
    return false;
}

// The 26 bytes after a local header's signature, then its name.
TLocalFile ReadLocalHeader(Reader& reader, std::size_t index) {
    std::string where = "the local header of member " + std::to_string(index + 1);
    unsigned char b[26];
    reader.Exact(b, sizeof b, where);
    Fields f(b);
    TLocalFile file;
    file.Signature = kLocalSignature;
    file.VersionNeeded = f.U16();
    file.Flags = f.U16();
    file.Method = f.U16();
    file.ModTime = f.U16();
    file.ModDate = f.U16();
    file.Crc32 = f.U32();
    file.CompressedSize = f.U32();
    file.UncompressedSize = f.U32();
    file.FileNameLength = f.U16();
    file.ExtraLength = f.U16();
    file.FileName = reader.Bytes(file.FileNameLength, where);
    return file;
}

void ReadLocalFile(Reader& reader, TZipFile& zip) {
    std::size_t index = zip.Files.size();
    TLocalFile file = ReadLocalHeader(reader, index);
    if ((file.Flags & kFlagDataDescriptor) && file.CompressedSize == 0)
        Unsupported("member " + Quoted(file.FileName) + " keeps its sizes after its data");
    file.Extra = reader.Bytes(file.ExtraLength, "the local header of " + Quoted(file.FileName));
    if ((file.CompressedSize == kZip64Size || file.UncompressedSize == kZip64Size) && HasZip64Field(file.Extra))
        Zip64("member " + Quoted(file.FileName) + " keeps its sizes in a zip64 field");
    file.CompressedData = reader.Bytes(file.CompressedSize, "the data of " + Quoted(file.FileName));
    zip.Files.push_back(std::move(file));
    zip.CentralDirectory.emplace_back();
}

void ReadCentralEntry(Reader& reader, TFileHeader& entry, std::size_t index) {
    std::string where = "central directory entry " + std::to_string(index + 1);
    unsigned char b[42];
    reader.Exact(b, sizeof b, where);
    Fields f(b);
    entry.Signature = kCentralSignature;
    entry.VersionMadeBy = f.U16();
    entry.VersionNeeded = f.U16();
    entry.Flags = f.U16();
    entry.Method = f.U16();
    entry.ModTime = f.U16();
    entry.ModDate = f.U16();
    entry.Crc32 = f.U32();
    entry.CompressedSize = f.U32();
    entry.UncompressedSize = f.U32();
    entry.FileNameLength = f.U16();
    entry.ExtraLength = f.U16();
    entry.CommentLength = f.U16();
    entry.DiskNumberStart = f.U16();
    entry.InternalAttributes = f.U16();
    entry.ExternalAttributes = f.U32();
    entry.LocalHeaderOffset = f.U32();
    entry.FileName = reader.Bytes(entry.FileNameLength, where);
    entry.Extra = reader.Bytes(entry.ExtraLength, where);
    entry.Comment = reader.Bytes(entry.CommentLength, where);
}

void ReadEndRecord(Reader& reader, TZipFile& zip) {
    unsigned char b[18];
    reader.Exact(b, sizeof b, "the end of central directory record");
    Fields f(b);
    TEndOfCentralDirectory& end = zip.EndOfCentralDirectory;
    end.Signature = kEndSignature;
    end.DiskNumber = f.U16();
    end.CentralDirectoryDisk = f.U16();
    end.EntriesOnDisk = f.U16();
    end.TotalEntries = f.U16();
    end.CentralDirectorySize = f.U32();
    end.CentralDirectoryOffset = f.U32();
    end.CommentLength = f.U16();
    zip.ZipComment = reader.Bytes(end.CommentLength, "the archive comment");
}

// The next record's signature; a stream ending inside one is damaged, one
// ending cleanly gives 0.
std::uint32_t NextSignature(Reader& reader) {
    std::uint32_t value = 0;
    std::size_t got = reader.Signature(value);
    if (got != 0 && got != 4) Damaged("the data ends inside a record signature");
    return value;
}

// Little-endian fields appended to a byte string.
class Writer {
public:
    void U16(std::uint16_t v) {
        bytes.push_back(static_cast<char>(v & 0xFF));
        bytes.push_back(static_cast<char>(v >> 8));
    }
    void U32(std::uint32_t v) {
        U16(static_cast<std::uint16_t>(v & 0xFFFF));
        U16(static_cast<std::uint16_t>(v >> 16));
    }
    void Text(const std::string& s) { bytes += s; }
    std::string bytes;
};

// The 26 bytes from "version needed" to "extra field length" that a central
// entry repeats from its local header.
void CopyLocalFields(const TLocalFile& f, TFileHeader& h) {
    h.VersionNeeded = f.VersionNeeded;
    h.Flags = f.Flags;
    h.Method = f.Method;
    h.ModTime = f.ModTime;
    h.ModDate = f.ModDate;
    h.Crc32 = f.Crc32;
    h.CompressedSize = f.CompressedSize;
    h.UncompressedSize = f.UncompressedSize;
    h.FileNameLength = f.FileNameLength;
    h.ExtraLength = f.ExtraLength;
}

std::uint32_t NowDosStamp() {
    // The MS-DOS form exists for 1980..2107; a clock outside it stamps 1980-01-01.
    return PackDosDateTime(DecodeDateTime(NowDateTime())).value_or(0x00210000u);
}

}  // namespace

std::uint32_t ZipCrc32(std::string_view data) {
    return static_cast<std::uint32_t>(
        crc32_z(0L, reinterpret_cast<const Bytef*>(data.data()), static_cast<z_size_t>(data.size())));
}

double LocalFileDate(const TLocalFile& file) {
    std::uint32_t stamp = (static_cast<std::uint32_t>(file.ModDate) << 16) | file.ModTime;
    return UnpackDosDateTime(stamp).value_or(0.0);
}

std::optional<TLocalFile> ReadFirstLocalHeader(std::istream& stream) {
    Reader reader(stream);
    if (!FindFirstMember(reader)) return std::nullopt;
    return ReadLocalHeader(reader, 0);
}

TIoResult TZipFile::LoadFromFile(const std::string& fileName) {
    std::ifstream in(os::PathOf(fileName), std::ios::binary);
    if (!in) return TIoResult::Failure(TIoStatus::OpenFailed, fileName, std::strerror(errno));
    try {
        LoadFromStream(in);
    } catch (const EZipFileError& e) {
        return TIoResult::Failure(TIoStatus::Damaged, fileName, std::string(e.what()) + " in \"" + fileName + "\"");
    }
    return TIoResult::Success();
}

TIoResult TZipFile::SaveToFile(const std::string& fileName) {
    std::ostringstream bytes;
    try {
        SaveToStream(bytes);
    } catch (const EKelError& e) {
        return TIoResult::Failure(TIoStatus::Failed, fileName, e.what());
    }
    return ReplaceFileAtomically(fileName, bytes.view());
}

void TZipFile::LoadFromStream(std::istream& stream) {
    // Built aside and taken over only when complete: a damaged archive
    // leaves nothing half-read behind.
    TZipFile zip;
    Reader reader(stream);
    if (FindFirstMember(reader)) {
        std::uint32_t signature = kLocalSignature;
        while (signature == kLocalSignature) {
            ReadLocalFile(reader, zip);
            signature = NextSignature(reader);
        }
        for (std::size_t c = 0; signature == kCentralSignature; ++c) {
            if (c >= zip.Files.size()) Damaged("more central directory entries than members");
            ReadCentralEntry(reader, zip.CentralDirectory[c], c);
            signature = NextSignature(reader);
        }
        if (signature == kZip64EndSignature || signature == kZip64LocatorSignature)
            Zip64("the archive ends in a zip64 end of central directory record");
        if (signature == kEndSignature) ReadEndRecord(reader, zip);
    }
    *this = std::move(zip);
}

void TZipFile::SaveToStream(std::ostream& stream) {
    if (CentralDirectory.size() != Files.size())
        throw EZipFileError("The archive's central directory does not list every member");
    std::streamoff base = stream.tellp();
    if (base < 0) base = 0;
    Writer w;
    auto position = [&] { return static_cast<std::uint32_t>(base + static_cast<std::streamoff>(w.bytes.size())); };
    for (std::size_t i = 0; i < Files.size(); ++i) {
        const TLocalFile& f = Files[i];
        CentralDirectory[i].LocalHeaderOffset = position();
        w.U32(f.Signature);
        w.U16(f.VersionNeeded);
        w.U16(f.Flags);
        w.U16(f.Method);
        w.U16(f.ModTime);
        w.U16(f.ModDate);
        w.U32(f.Crc32);
        w.U32(f.CompressedSize);
        w.U32(f.UncompressedSize);
        w.U16(f.FileNameLength);
        w.U16(f.ExtraLength);
        w.Text(f.FileName);
        w.Text(f.Extra);
        w.Text(f.CompressedData);
    }
    std::uint32_t directoryOffset = position();
    for (const TFileHeader& h : CentralDirectory) {
        w.U32(h.Signature);
        w.U16(h.VersionMadeBy);
        w.U16(h.VersionNeeded);
        w.U16(h.Flags);
        w.U16(h.Method);
        w.U16(h.ModTime);
        w.U16(h.ModDate);
        w.U32(h.Crc32);
        w.U32(h.CompressedSize);
        w.U32(h.UncompressedSize);
        w.U16(h.FileNameLength);
        w.U16(h.ExtraLength);
        w.U16(h.CommentLength);
        w.U16(h.DiskNumberStart);
        w.U16(h.InternalAttributes);
        w.U32(h.ExternalAttributes);
        w.U32(h.LocalHeaderOffset);
        w.Text(h.FileName);
        w.Text(h.Extra);
        w.Text(h.Comment);
    }
    auto members = static_cast<std::uint16_t>(Files.size());
    EndOfCentralDirectory = {kEndSignature,
                             0,
                             0,
                             members,
                             members,
                             position() - directoryOffset,
                             directoryOffset,
                             static_cast<std::uint16_t>(ZipComment.size())};
    const TEndOfCentralDirectory& e = EndOfCentralDirectory;
    w.U32(e.Signature);
    w.U16(e.DiskNumber);
    w.U16(e.CentralDirectoryDisk);
    w.U16(e.EntriesOnDisk);
    w.U16(e.TotalEntries);
    w.U32(e.CentralDirectorySize);
    w.U32(e.CentralDirectoryOffset);
    w.U16(e.CommentLength);
    w.Text(ZipComment);
    stream.write(w.bytes.data(), static_cast<std::streamsize>(w.bytes.size()));
    if (!stream) throw EFileError("Cannot write the archive");
}

void TZipFile::AddFile(const std::string& name, std::uint32_t attributes) {
    if (name.size() > std::numeric_limits<std::uint16_t>::max())
        throw EZipFileError("A member name of " + std::to_string(name.size()) + " characters is too long");
    std::uint32_t stamp = NowDosStamp();
    TLocalFile f;
    f.ModTime = static_cast<std::uint16_t>(stamp & 0xFFFF);
    f.ModDate = static_cast<std::uint16_t>(stamp >> 16);
    f.FileNameLength = static_cast<std::uint16_t>(name.size());
    f.FileName = name;
    TFileHeader h;
    CopyLocalFields(f, h);
    h.ExternalAttributes = attributes;
    h.FileName = name;
    Files.push_back(std::move(f));
    CentralDirectory.push_back(std::move(h));
}

void TZipFile::CheckIndex(int i) const {
    if (i < 0 || i >= Count() || static_cast<std::size_t>(i) >= CentralDirectory.size()) throw EZipIndexError();
}

EZipMemberTooLarge::EZipMemberTooLarge(const std::string& member, std::size_t largest)
    : EZipFileError("the member " + Quoted(member) + " inflates past " + MebibyteText(largest)) {}

std::string TZipFile::Uncompressed(int i, std::size_t largest) const {
    CheckIndex(i);
    const TLocalFile& f = Files[static_cast<std::size_t>(i)];
    if (f.Flags & kFlagEncrypted) Unsupported("member " + Quoted(f.FileName) + " is encrypted");
    if (f.UncompressedSize > largest) throw EZipMemberTooLarge(f.FileName, largest);
    std::string data;
    if (f.Method == kMethodDeflated) {
        data = zipcodec::Inflate(f);
    } else if (f.Method == kMethodStored) {
        if (f.CompressedData.size() != f.UncompressedSize)
            Damaged("the stored member " + Quoted(f.FileName) + " does not hold its recorded size");
        data = f.CompressedData;
    } else {
        Unsupported("member " + Quoted(f.FileName) + " uses compression method " + std::to_string(f.Method) +
                    "; only deflate is read");
    }
    if (ZipCrc32(data) != f.Crc32) throw EZipFileCRCError("CRC Error in " + Quoted(f.FileName) + ".");
    return data;
}

void TZipFile::SetUncompressed(int i, std::string_view data) {
    CheckIndex(i);
    if (data.size() > std::numeric_limits<std::uint32_t>::max())
        throw EZipFileError("A member of " + std::to_string(data.size()) + " bytes is too large for a zip archive");
    TLocalFile& f = Files[static_cast<std::size_t>(i)];
    TFileHeader& h = CentralDirectory[static_cast<std::size_t>(i)];
    std::string compressed = zipcodec::Deflate(data);
    std::uint32_t stamp = NowDosStamp();
    f.Signature = kLocalSignature;
    f.VersionNeeded = 20;
    f.Flags = 0;
    f.Method = kMethodDeflated;
    f.ModTime = static_cast<std::uint16_t>(stamp & 0xFFFF);
    f.ModDate = static_cast<std::uint16_t>(stamp >> 16);
    f.Crc32 = ZipCrc32(data);
    f.CompressedSize = static_cast<std::uint32_t>(compressed.size());
    f.UncompressedSize = static_cast<std::uint32_t>(data.size());
    f.FileNameLength = static_cast<std::uint16_t>(f.FileName.size());
    f.ExtraLength = static_cast<std::uint16_t>(f.Extra.size());
    f.CompressedData = std::move(compressed);
    h.Signature = kCentralSignature;
    h.VersionMadeBy = 20;
    CopyLocalFields(f, h);
    h.CommentLength = 0;
    h.DiskNumberStart = 0;
    h.InternalAttributes = 0;
    h.LocalHeaderOffset = 0;
    h.FileName = f.FileName;
    h.Extra = f.Extra;
    h.Comment.clear();
}

double TZipFile::MemberDate(int i) const {
    CheckIndex(i);
    return LocalFileDate(Files[static_cast<std::size_t>(i)]);
}

}  // namespace kel
