#pragma once
// "--set NAME=VALUE": a value given to a main-window control the way a user
// gives it, through the session's own edit handlers.
#include <string_view>

#include "app/KelViewSession.h"
#include "cli/CliOptions.h"

namespace kel::cli {

// Whether name is a numeric field, a switch or "SensitMode".
bool IsSettableControl(std::string_view name);

// Applies the setting as a user's edit or click; a refused value shows its
// message and returns false, leaving the control as it was.
bool ApplyFieldSetting(TKelViewSession& session, const TFieldSetting& setting);

}  // namespace kel::cli
