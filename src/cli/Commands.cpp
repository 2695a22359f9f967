#include "cli/Commands.h"

namespace kel::cli {

std::span<const TCommand> Commands() {
    static const std::vector<TCommand> commands = {
        InfoCommand(), ConvertCommand(), WindowCommand(), ResultsCommand(), LogCommand(), HeadspaceCommand(),
        BatchCommand(), SummaryCommand(),
#if KELVIEW_WITH_QT
        PlotCommand(),
#endif
    };
    return commands;
}

std::vector<TOptionSpec> WithCommonOptions(std::vector<TOptionSpec> own) {
    std::vector<TOptionSpec> all = CommonOptionSpecs();
    all.insert(all.end(), own.begin(), own.end());
    return all;
}

}  // namespace kel::cli
