#include "cli/CliSession.h"
#include "common/qt/QtSettingsStore.h"

namespace kel::cli {

std::unique_ptr<SettingsStore> UserSettingsStore() { return std::make_unique<QtSettingsStore>(); }

}  // namespace kel::cli
