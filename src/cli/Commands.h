#pragma once
// The commands of kelview-cli: name, help text, accepted options and work.
#include <span>
#include <string_view>
#include <vector>

#include "cli/CliOptions.h"

namespace kel::cli {

struct TCommand {
    std::string_view name;
    std::string_view summary;  // one line for the tool's own help
    std::string_view work;     // "Not enough memory to WORK FILE"
    std::string help;          // the command's --help text
    std::vector<TOptionSpec> options;
    int (*run)(const TParsedArgs& args);  // exit status; raises EUsage and EFailure
};

// Every command, in the order the help lists them.
std::span<const TCommand> Commands();

// The commands' definitions, one per source file.
TCommand InfoCommand();
TCommand ConvertCommand();
TCommand WindowCommand();
TCommand ResultsCommand();
TCommand LogCommand();
TCommand HeadspaceCommand();
TCommand BatchCommand();
TCommand SummaryCommand();
TCommand PlotCommand();  // in builds with Qt only

// Options of the profile commands plus their own.
std::vector<TOptionSpec> WithCommonOptions(std::vector<TOptionSpec> own);

}  // namespace kel::cli
