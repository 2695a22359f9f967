#pragma once
// The JSON writer of the core, under the names the command-line tool uses.
#include "common/Json.h"

namespace kel::cli {

using kel::JsonNumber;
using kel::JsonQuote;
using kel::JsonWriter;

}  // namespace kel::cli
