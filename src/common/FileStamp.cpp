#include "common/FileStamp.h"

#include <filesystem>
#include <system_error>

#include "common/Platform.h"

namespace kel {

TFileStamp FileStampOf(const std::string& path) {
    std::error_code error;
    const std::filesystem::path file = os::PathOf(path);
    TFileStamp stamp;
    stamp.size = std::filesystem::file_size(file, error);
    if (error) return {};
    const auto written = std::filesystem::last_write_time(file, error);
    if (error) return {};
    stamp.exists = true;
    stamp.written = static_cast<std::int64_t>(written.time_since_epoch().count());
    return stamp;
}

}  // namespace kel
