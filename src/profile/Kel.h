#pragma once
// One multi-ion profile: raw counts of up to 29 rows over a ring of time
// slots, the flow-tube parameters of the recording and its texts.
#include <cstdint>
#include <string>
#include <vector>

#include "profile/LoadResult.h"
#include "profile/Real48.h"

namespace kel {

class TKel {
public:
    // Every field zero or empty, ProfileDate now, FScan 500, OutlierPower 3,
    // arrays of 29 rows and 201 slots.
    TKel();
    virtual ~TKel();
    TKel(const TKel&) = default;
    TKel& operator=(const TKel&) = default;

    // Grows or shrinks the arrays to at least 29 rows and 201 slots (rows + 1,
    // slots + 1 entries), keeping what the common part held.
    void SetArrays(int rows, int slots);

    // IonMass[k] = ParseNumber(Name[2k+1]) for k < nim div 2; raises
    // EConvertError for a name such as "1.2.3".
    void UpdateIonMasses();

    // Loads a profile file of any of the three formats, detected by its first
    // two bytes, and says what happened; shows no message and raises nothing.
    TProfileLoadResult LoadFromFile(const std::string& fileName);

    // Writes the comma-separated worksheet; on failure an existing file stays.
    TIoResult WriteCsv(const std::string& fileName) const;
    // The comma-separated worksheet as text.
    std::string BuildWorksheet() const;

    // The profile as XML text.
    std::string BuildXml() const;
    // Writes the profile as a zip archive holding its XML text; on any
    // failure an existing file stays untouched.
    TIoResult SaveZipped(const std::string& fileName) const;
    // Fills the record from a profile text (only the header texts and the date
    // when HeaderOnly is set).
    void ParseProfileXml(const std::string& text);

    // Rows and slots in use.
    std::int16_t nim = 0;
    std::int16_t njm = 0;
    std::vector<std::uint16_t> Dam;
    std::vector<std::uint16_t> Cntm;  // dwell of each row in scan ticks per cycle
    std::int16_t im = 0;
    std::int16_t jm = 0;  // cycles recorded; point i lives in slot (jm + i) mod njm
    std::vector<std::vector<std::int32_t>> Counts;  // [row][slot]
    std::vector<std::int32_t> Times;
    std::vector<std::string> Name;  // at most 12 characters each
    Real48 p, fc, f1;
    std::string ion, reactant, comment;
    double De200 = 0, Mr200 = 0, Df73 = 0;
    double FScan = 500;
    double ts = 0;
    std::string FileName;
    double ProfileDate = 0;
    Real48 Tg, Aft, lr, f4, f5, f6, f7, f8;
    double DateOrigin = 0;
    std::string SystemId;  // at most 20 characters
    bool HeaderOnly = false;
    std::int32_t OutlierFilter = 0;
    double OutlierPower = 3.0;
    std::vector<double> IonMass;

protected:
    struct WithoutArrays {};
    // The constructor's defaults without rows or slots: nothing is allocated
    // for arrays a header-only record of a zipped or XML profile never holds;
    // a reader that fills them sizes them.
    explicit TKel(WithoutArrays);

private:
    // Header-only zipped profiles: the date from the archive's first local
    // header already read from fd; false when the archive needs the full reader.
    bool ReadZipDateFromHeader(int fd, const std::uint8_t* head, long got);
    // LoadFromFile's work; raises the XML, zip and conversion errors.
    void ReadProfileFile(TProfileLoadResult& result);
    void ReadXmlFile(const std::string& fileName);
    void ReadZipFile(const std::string& fileName);
};

// The date of a profile file that holds no valid date of its own: the
// file's modification time, or now when that cannot be read.
double FileProfileDate(const std::string& fileName);

// The browser's header-only profile: a TKel whose arrays stay empty unless
// the file's format reads them with the header (the legacy record).
class TKelDetails : public TKel {
public:
    TKelDetails();
};

}  // namespace kel
