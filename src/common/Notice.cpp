#include "common/Notice.h"

namespace kel {

namespace {
// The platform box of the original program could not take longer texts.
constexpr std::size_t kLongestText = 126;
}  // namespace

TNotice ProgramNotice(std::string_view text) { return {std::string(kProgramCaption), std::string(text)}; }

TNotice DebugNotice(std::string_view text) {
    if (text.size() > kLongestText) return {"Debug Error", "Too long string"};
    return {"Debug", std::string(text)};
}

TNotice DebugFileNotice(std::string_view text, std::string_view path, std::string_view reason) {
    std::string_view name = path.substr(path.find_last_of('/') + 1);
    // "Open Error!" reads on with a blank, "write error" with a colon.
    bool closed = !text.empty() && (text.back() == '!' || text.back() == '.');
    std::string detailed = std::string(text) + (closed ? " " : ": ") + std::string(name);
    if (!reason.empty()) detailed += ": " + std::string(reason);
    return DebugNotice(detailed.size() <= kLongestText ? std::string_view(detailed) : text);
}

}  // namespace kel
