#pragma once
// Small helpers over POSIX file descriptors shared by the file writers.
#include <string_view>

namespace kel {

// Writes all bytes to fd, retrying short and interrupted writes; false (with
// errno set) when the system refused.
bool WriteAll(int fd, std::string_view bytes);

}  // namespace kel
