#pragma once
// The JSON writer under the tool's own names.
#include "common/Json.h"

namespace kel::cli {

using kel::JsonNumber;
using kel::JsonQuote;
using kel::JsonWriter;

}  // namespace kel::cli
