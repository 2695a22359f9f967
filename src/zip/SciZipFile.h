#pragma once
// Single-volume zip archives held in memory: every member's compressed bytes
// sit in the object; deflate, inflate and CRC-32 are zlib's.
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/Errors.h"
#include "common/IoResult.h"

namespace kel {

// An archive that is damaged or uses what this reader does not support; the
// message starts with "Damaged archive: " or "Unsupported archive: ".
class EZipFileError : public EKelError {
public:
    using EKelError::EKelError;
};

// A member whose inflated data does not match its CRC-32.
class EZipFileCRCError : public EZipFileError {
public:
    using EZipFileError::EZipFileError;
};

// A member that inflates past what its reader takes: "the member "name"
// inflates past N MiB".
class EZipMemberTooLarge : public EZipFileError {
public:
    EZipMemberTooLarge(const std::string& member, std::size_t largest);
};

// A member index outside the archive: "Index out of range.".
class EZipIndexError : public EKelError {
public:
    EZipIndexError() : EKelError("Index out of range.") {}
};

// One member: the local file header's fixed fields, then its name, extra
// field and raw deflate data.
struct TLocalFile {
    std::uint32_t Signature = 0x04034B50;
    std::uint16_t VersionNeeded = 20;
    std::uint16_t Flags = 0;
    std::uint16_t Method = 8;
    std::uint16_t ModTime = 0;
    std::uint16_t ModDate = 0;
    std::uint32_t Crc32 = 0;
    std::uint32_t CompressedSize = 0;
    std::uint32_t UncompressedSize = 0;
    std::uint16_t FileNameLength = 0;
    std::uint16_t ExtraLength = 0;
    std::string FileName, Extra, CompressedData;
};

// One central directory entry.
struct TFileHeader {
    std::uint32_t Signature = 0x02014B50;
    std::uint16_t VersionMadeBy = 20;
    std::uint16_t VersionNeeded = 20;
    std::uint16_t Flags = 0;
    std::uint16_t Method = 8;
    std::uint16_t ModTime = 0;
    std::uint16_t ModDate = 0;
    std::uint32_t Crc32 = 0;
    std::uint32_t CompressedSize = 0;
    std::uint32_t UncompressedSize = 0;
    std::uint16_t FileNameLength = 0;
    std::uint16_t ExtraLength = 0;
    std::uint16_t CommentLength = 0;
    std::uint16_t DiskNumberStart = 0;
    std::uint16_t InternalAttributes = 0;
    std::uint32_t ExternalAttributes = 0;
    std::uint32_t LocalHeaderOffset = 0;
    std::string FileName, Extra, Comment;
};

// The end of central directory record's fixed fields.
struct TEndOfCentralDirectory {
    std::uint32_t Signature = 0;
    std::uint16_t DiskNumber = 0;
    std::uint16_t CentralDirectoryDisk = 0;
    std::uint16_t EntriesOnDisk = 0;
    std::uint16_t TotalEntries = 0;
    std::uint32_t CentralDirectorySize = 0;
    std::uint32_t CentralDirectoryOffset = 0;
    std::uint16_t CommentLength = 0;
};

class TZipFile {
public:
    // Reads the archive in `fileName`: OpenFailed when it cannot be opened,
    // Damaged (the reason naming the file) when it is damaged, and then this
    // archive is unchanged.
    TIoResult LoadFromFile(const std::string& fileName);
    // Writes the archive through a temporary file renamed over `fileName`, so
    // an existing file survives any failure, which is returned.
    TIoResult SaveToFile(const std::string& fileName);
    // Reads members, central directory and end record from the stream. A
    // stream without a local header gives an archive without members; a
    // damaged one raises EZipFileError and leaves this archive unchanged.
    void LoadFromStream(std::istream& stream);
    // Writes members, central directory and end record, setting each central
    // entry's local header offset.
    void SaveToStream(std::ostream& stream);

    // Appends an empty deflated member stamped now.
    void AddFile(const std::string& name, std::uint32_t attributes);
    // Member i inflated and checked against its CRC-32 (EZipFileCRCError);
    // EZipFileError when it inflates to fewer or more bytes than recorded.
    // A member recorded as larger than `largest` bytes raises
    // EZipMemberTooLarge before anything is inflated; no member is ever
    // inflated past its recorded size.
    std::string Uncompressed(int i, std::size_t largest = SIZE_MAX) const;
    // Deflates `data` into member i and updates its sizes, CRC-32 and stamp.
    void SetUncompressed(int i, std::string_view data);
    // Member i's MS-DOS time stamp as a date-time; 0 for an impossible stamp.
    double MemberDate(int i) const;
    // Number of members.
    int Count() const { return static_cast<int>(Files.size()); }

    std::vector<TLocalFile> Files;
    std::vector<TFileHeader> CentralDirectory;
    TEndOfCentralDirectory EndOfCentralDirectory;
    std::string ZipComment;

private:
    void CheckIndex(int i) const;
};

// Reads only the first member's local header (fixed part and name, no data):
// all a header-only load needs. Empty when the stream holds no member.
std::optional<TLocalFile> ReadFirstLocalHeader(std::istream& stream);

// A member's MS-DOS time stamp as a date-time; 0 for an impossible stamp.
double LocalFileDate(const TLocalFile& file);

// The zip format's CRC-32 of `data` (zlib's).
std::uint32_t ZipCrc32(std::string_view data);

}  // namespace kel
