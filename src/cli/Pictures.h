#pragma once
// Pictures of the tool's graphs, in builds with Qt only.
#include <string>
#include <vector>

#include "browser/StudySummary.h"

namespace kel::cli {

// The picture size of the tool's graphs unless --size says otherwise.
inline constexpr int kDefaultPictureWidth = 1200, kDefaultPictureHeight = 600;

// Raises EUsage when path does not end in .png, .svg or .pdf.
void CheckPicturePath(const std::string& path, const std::string& option);

// Draws the summary's means across profiles (BuildSummaryGraph) into path
// (format by extension); path is replaced only by a complete picture.
// Raises EFailure naming path and the reason when it cannot be written.
void WriteSummaryPicture(const std::vector<TSummaryRow>& rows, const std::string& path);

}  // namespace kel::cli
