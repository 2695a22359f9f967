#include "cli/CliMessages.h"

#include <array>
#include <iostream>

#include "cli/CliOptions.h"

namespace kel::cli {

bool IsWarningBox(std::string_view text) {
    constexpr std::array<std::string_view, 4> kWarnings = {"p and fc info missing", "Kbase k= ", "Kbase mi= ",
                                                           "Kbase mp= "};
    for (std::string_view warning : kWarnings)
        if (text.substr(0, warning.size()) == warning) return true;
    return false;
}

void TCliMessages::Show(std::string_view caption, std::string_view text) {
    std::cerr << caption << ": " << text << std::endl;
    if (IsWarningBox(text)) return;
    ++failures_;
    if (stopAtFailure_) throw EFailure("");
}

TCliMessages& CliMessages() {
    static TCliMessages messages;
    return messages;
}

}  // namespace kel::cli
