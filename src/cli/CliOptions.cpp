#include "cli/CliOptions.h"

#include <algorithm>
#include <cmath>

#include "app/KelViewSession.h"
#include "cli/FieldSettings.h"
#include "common/Errors.h"
#include "common/NumberText.h"
#include "common/OrderedJobs.h"

namespace kel::cli {

bool TParsedArgs::Has(std::string_view name) const {
    return std::any_of(options.begin(), options.end(), [&](const auto& o) { return o.first == name; });
}

std::optional<std::string> TParsedArgs::Value(std::string_view name) const {
    std::optional<std::string> value;
    for (const auto& [n, v] : options)
        if (n == name) value = v;
    return value;
}

std::vector<std::string> TParsedArgs::Values(std::string_view name) const {
    std::vector<std::string> values;
    for (const auto& [n, v] : options)
        if (n == name) values.push_back(v);
    return values;
}

const std::vector<std::string>& TParsedArgs::Positional(std::initializer_list<std::string_view> names) const {
    if (positional.size() != names.size()) {
        std::string wanted;
        for (std::string_view n : names) wanted += (wanted.empty() ? "" : " ") + std::string(n);
        if (positional.size() > names.size())
            throw EUsage("unexpected argument \"" + positional[names.size()] + "\"");
        throw EUsage(wanted + (names.size() > 1 ? " are" : " is") + " needed");
    }
    return positional;
}

TParsedArgs ParseArgs(const std::vector<std::string>& args, std::span<const TOptionSpec> accepted) {
    TParsedArgs parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            parsed.positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            parsed.help = true;
            continue;
        }
        std::size_t eq = arg.find('=');
        std::string name = arg.substr(0, eq);
        auto known = std::find_if(accepted.begin(), accepted.end(), [&](const TOptionSpec& s) { return s.name == name; });
        if (known == accepted.end()) throw EUsage("unknown option \"" + name + "\"");
        if (!known->takesValue) {
            if (eq != std::string::npos) throw EUsage(name + " takes no value");
            parsed.options.emplace_back(name, "");
        } else if (eq != std::string::npos) {
            parsed.options.emplace_back(name, arg.substr(eq + 1));
        } else {
            if (i + 1 >= args.size()) throw EUsage(name + " needs a value");
            parsed.options.emplace_back(name, args[++i]);
        }
    }
    return parsed;
}

std::vector<TOptionSpec> CommonOptionSpecs() {
    return {{"--kinetics", true}, {"--mode", true}, {"--select", true},
            {"--set", true},      {"--linear", false}, {"--settings", false}, {"--analysis", true}};
}

namespace {

TModeChoice ModeOf(const std::string& text) {
    if (text == "rate") return TModeChoice::Rate;
    if (text == "ppb") return TModeChoice::Ppb;
    if (text == "dh") return TModeChoice::Isotope;
    throw EUsage("--mode takes rate, ppb or dh, not \"" + text + "\"");
}

}  // namespace

std::pair<double, double> SelectionOf(const std::string& text, std::string_view option) {
    std::size_t colon = text.find(':');
    try {
        if (colon == std::string::npos) throw EConvertError("");
        double a = TextToFloat(text.substr(0, colon)), b = TextToFloat(text.substr(colon + 1));
        if (!std::isfinite(a) || !std::isfinite(b)) throw EConvertError("");
        return {a, b};
    } catch (const EConvertError&) {
        throw EUsage(std::string(option) + " takes two times in seconds, A:B, not \"" + text + "\"");
    }
}

std::string ProfileArgument(const TParsedArgs& args) {
    if (args.Has("--analysis") && args.positional.empty()) return {};
    return args.Positional({"FILE"})[0];
}

int JobsOf(const TParsedArgs& args) {
    std::optional<std::string> text = args.Value("--jobs");
    if (!text) return DefaultJobCount();
    std::int32_t jobs = TextToIntDef(*text, 0);
    if (jobs < 1 || jobs > 256) throw EUsage("--jobs takes a number of threads from 1 to 256, not \"" + *text + "\"");
    return jobs;
}

TFieldSetting ParseFieldSetting(std::string_view text) {
    std::size_t eq = text.find('=');
    if (eq == std::string_view::npos) throw EUsage("--set takes NAME=VALUE, not \"" + std::string(text) + "\"");
    TFieldSetting setting{std::string(text.substr(0, eq)), std::string(text.substr(eq + 1))};
    if (!IsSettableControl(setting.name))
        throw EUsage("--set: \"" + setting.name + "\" is not a control of the main window");
    // An empty field reads as 0 in the window, which is no value anyone means
    // to give on a command line.
    if (setting.value.find_first_not_of(' ') == std::string::npos)
        throw EUsage("--set " + setting.name + "= needs a value");
    return setting;
}

TCommonOptions CommonOptionsOf(const TParsedArgs& args) {
    TCommonOptions options;
    options.kinetics = args.Value("--kinetics");
    if (auto mode = args.Value("--mode")) options.mode = ModeOf(*mode);
    if (auto select = args.Value("--select")) options.select = SelectionOf(*select);
    for (const std::string& text : args.Values("--set")) options.settings.push_back(ParseFieldSetting(text));
    options.linear = args.Has("--linear");
    options.userSettings = args.Has("--settings");
    options.analysis = args.Value("--analysis");
    if (options.analysis && options.analysis->empty()) throw EUsage("--analysis needs a file");
    return options;
}

const char* const kCommonOptionsHelp =
    "  --kinetics K        main kinetics file (default: the demo library; with\n"
    "                      --settings, the \"kbase\" value of the settings)\n"
    "  --mode rate|ppb|dh  press \"ppb\" or \"D/H\" after opening, or release them;\n"
    "                      default: as opening leaves it (D/H when ion has FAMS)\n"
    "  --select A:B        selection from A to B seconds, as a mouse drag makes it\n"
    "                      (default: \"Select all\")\n"
    "  --set NAME=VALUE    a user's edit of a main-window control (repeatable, in\n"
    "                      order): feDeadT feDe200 feMr200 feDf73 feFilterOutliers\n"
    "                      fefr feTg feD felr feR2 feR3 feb74 feb75 feliq\n"
    "                      PressLevel; switches btnApplyDeMr cbT0Start btnNormId\n"
    "                      sbKeepLog (0/1); SensitMode (0..4)\n"
    "  --linear            linear value axis instead of the logarithmic one\n"
    "  --settings          read the user's settings at start, as the window does\n"
    "                      (without it they are neither read nor written)\n"
    "  --analysis A        open the analysis file A (NAME.kelview.json, saved by\n"
    "                      the window) as the window opens it: its profile, or\n"
    "                      FILE when one is given, with its mode, fields,\n"
    "                      selection and axes; its kinetics file unless\n"
    "                      --kinetics names one. A changed profile or kinetics\n"
    "                      file is told on stderr\n"
    "The profile is opened, then the mode, the --set values, --linear and the\n"
    "selection are applied, in this order; after --analysis the selection stays\n"
    "the analysis's unless --select is given.\n";

}  // namespace kel::cli
