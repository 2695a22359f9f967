#pragma once
// The kinetics library: compounds with their precursor ions, rate
// coefficients and product ions, read from the plain-text kinetics file.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/IoResult.h"
#include "common/Notice.h"

namespace kel {

// Most precursor or product lines one compound may have.
inline constexpr int kMaxCompoundLines = 15;

// One compound. Slots beyond the counts hold 0.
struct TKrecord {
    using Values = std::array<double, 16>;

    std::string Name;
    std::int32_t PrecursorCount = 0;
    std::int32_t ProductCount = 0;
    Values PrecursorMass{};
    Values ProductMass{};
    Values RateCoefficient{};  // cm3 s-1, per precursor
    Values PrecursorWeight{};
    Values PrecursorFactor{};
    Values ProductWeight{};  // -100 or less is the coded form -100 + x
    Values ProductFactor{};
    std::string Formula;
    std::uint16_t SelectCount = 0;  // the compound is quantified while above 0
    bool Marked = false;
    std::int32_t GroupIndex = 0;
    std::int32_t LineCount = 0;  // max(PrecursorCount, ProductCount)
};

// What reading a kinetics file did: the warnings about implausible values
// read all the same ("Kbase k= 2.5E-8"), in file order, and the failure:
// Damaged with "Kbase error " + the compound's name when a compound could
// not be read (reading stopped there, the compounds before it kept),
// OpenFailed when the file could not be read, Failed when it was refused as
// no kinetics text (ReadKineticsText).
struct TKineticsLoadResult {
    TIoResult io;
    std::vector<std::string> warnings;

    bool ok() const { return io.ok(); }
    explicit operator bool() const { return io.ok(); }
};

// The warnings, then the "Kbase error" or the refusal, in the order they are
// shown; nothing for a file that could not be opened, as an unreadable
// library contributes nothing.
std::vector<std::string> KineticsMessages(const TKineticsLoadResult& result);

// KineticsMessages, each a plain box.
TNotices KineticsNotices(const TKineticsLoadResult& result);

// The text of a kinetics file; raises EFileRefused, naming the file, for
// anything but a regular file of at most 16 MiB without NUL bytes, and
// EFileError when it cannot be read.
std::string ReadKineticsText(const std::string& path);

class TKbase {
public:
    // Reads the kinetics file at path and appends its compounds in file order;
    // a file that cannot be opened (or an empty path) adds nothing.
    TKineticsLoadResult LoadFile(const std::string& path);

    // Appends the compounds of a kinetics file's text, as LoadFile does.
    TKineticsLoadResult LoadText(std::string_view text);

    // Number of compounds.
    int Count() const { return static_cast<int>(records_.size()); }

    // The compound at a 0-based index; raises EKelError when out of range.
    TKrecord& Compound(int index);
    const TKrecord& Compound(int index) const;

    // Removes every compound.
    void Clear() { records_.clear(); }

    // Sets SelectCount of every compound to 0.
    void ClearSelection();

    // Adds to SelectCount, for every precursor line whose mass equals
    // precursorCode (or the first line when precursorCode is 0), the number of
    // products whose mass equals ionMass.
    void CountMatches(int precursorCode, int ionMass);

    // Deselects every compound with fewer matches than products.
    void DropIncomplete();

    // Decimals needed to show all 32 masses of a compound exactly: 0, 1 or 2.
    static int MassDecimals(const TKrecord& compound);

    // Fills Lines with the compound's heading and first precursor and product
    // lines; returns the mass field width used (MassDecimals + 4).
    int DescribeCompound(int index);

    // Fills Lines with precursor and product line `row` (1 and up) of the
    // compound, masses in `width` characters.
    void DescribeRow(int index, int row, int width);

    // Display lines of the last Describe call.
    std::vector<std::string> Lines;

private:
    std::vector<TKrecord> records_;
};

}  // namespace kel
