#pragma once
// A profile record read straight from its file, for "info" and "convert".
#include <memory>
#include <string>

#include "cli/Json.h"
#include "profile/Kel.h"

namespace kel::cli {

// Loads path (the header only when asked) with FileName set to its name
// without folder; raises EFailure when the reader reported a failure.
std::unique_ptr<TKel> LoadRecord(const std::string& path, bool headerOnly);

// Every field of the record as one JSON object; the counts and slot times
// only when asked.
void WriteRecordJson(JsonWriter& json, const TKel& record, bool withCounts);

}  // namespace kel::cli
