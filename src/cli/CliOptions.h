#pragma once
// Command-line parsing: options of a command, the options shared by the
// commands that open a profile into the session, and usage errors.
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kel::cli {

// A mistake in the command line (exit status 2).
class EUsage : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A failure the user has been told about on stderr (exit status 1); the
// text, when not empty, says what was left undone.
class EFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TOptionSpec {
    std::string_view name;  // "--kinetics", "-o"
    bool takesValue = false;
};

struct TParsedArgs {
    std::vector<std::string> positional;
    std::vector<std::pair<std::string, std::string>> options;  // in the order given
    bool help = false;

    bool Has(std::string_view name) const;
    // The last value given for name.
    std::optional<std::string> Value(std::string_view name) const;
    // Every value given for name, in order.
    std::vector<std::string> Values(std::string_view name) const;
    // The positional arguments, which must be exactly the named ones.
    const std::vector<std::string>& Positional(std::initializer_list<std::string_view> names) const;
};

// Splits args into positional arguments and accepted options ("--name value",
// "--name=value"; "--" ends the options); raises EUsage for anything else.
TParsedArgs ParseArgs(const std::vector<std::string>& args, std::span<const TOptionSpec> accepted);

// How the profile is shown before a command's work.
enum class TModeChoice { AsOpened, Rate, Ppb, Isotope };

struct TFieldSetting {
    std::string name, value;
};

struct TCommonOptions {
    std::optional<std::string> kinetics;
    TModeChoice mode = TModeChoice::AsOpened;
    std::optional<std::pair<double, double>> select;
    std::vector<TFieldSetting> settings;  // --set, in order
    bool linear = false;
    bool userSettings = false;            // --settings
    std::optional<std::string> analysis;  // --analysis: an analysis file to open
};

// The options every profile command takes.
std::vector<TOptionSpec> CommonOptionSpecs();

// The common options of args; raises EUsage for malformed values and
// unknown control names.
TCommonOptions CommonOptionsOf(const TParsedArgs& args);

// A "--set" argument NAME=VALUE; the name must be one of the window's controls.
TFieldSetting ParseFieldSetting(std::string_view text);

// A window A:B in seconds, as --select takes it; raises EUsage naming option.
std::pair<double, double> SelectionOf(const std::string& text, std::string_view option = "--select");

// The profile a command opens: its FILE argument, or empty when --analysis
// names the profile and no FILE is given; raises EUsage otherwise.
std::string ProfileArgument(const TParsedArgs& args);

// The --jobs of args: threads that work at once, 1..256; default the cores.
int JobsOf(const TParsedArgs& args);

// The help lines of the common options.
extern const char* const kCommonOptionsHelp;

}  // namespace kel::cli
