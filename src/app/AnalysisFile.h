#pragma once
// The analysis file ("NAME.kelview.json"): the profile and kinetics file an
// analysis was made on, with checksums, and the analysis itself, written so
// that every number reads back exactly.
#include <string>
#include <string_view>

#include "app/AnalysisState.h"
#include "common/IoResult.h"

namespace kel {

// The ending of an analysis file's name.
inline constexpr std::string_view kAnalysisFileEnding = ".kelview.json";

struct TAnalysisFile {
    std::string profilePath;       // from the root once read
    std::string profileChecksum;   // FNV-1a 64 of the profile file, 16 hex digits
    std::string kineticsPath;      // the main kinetics file; empty: none
    std::string kineticsChecksum;  // of the kinetics file; empty when it could not be read
    TAnalysisState state;
};

// Whether path names an analysis file by its ending (any case).
bool IsAnalysisFileName(std::string_view path);

// The text of the file to be written at analysisPath: the profile's path
// relative to it when the profile lies in the same folder, else from the root.
std::string AnalysisFileText(const TAnalysisFile& analysis, const std::string& analysisPath);

// The analysis of text read from analysisPath (relative profile paths are
// taken from its folder); raises EKelError with the reason for text that is
// not such a file, with a number out of place, or beyond the reader's limits.
TAnalysisFile ParseAnalysisFile(std::string_view text, const std::string& analysisPath);

// Reads and parses the file; raises EFileError naming the file and the reason.
TAnalysisFile ReadAnalysisFile(const std::string& path);

// Writes the file in place of any old one, whole or not at all.
TIoResult WriteAnalysisFile(const TAnalysisFile& analysis, const std::string& path);

}  // namespace kel
