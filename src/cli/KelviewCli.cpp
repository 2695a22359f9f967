// kelview-cli: the main window's jobs without a display.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "common/Platform.h"

namespace {

using kel::cli::TCommand;

constexpr int kFailure = 1, kUsageError = 2;

std::string ToolHelp() {
    std::string text =
        "Usage: kelview-cli COMMAND [ARGS] [OPTIONS]\n"
        "\n"
        "The main window's jobs without a display: each command opens profiles\n"
        "through the same code as the window and prints or writes its results.\n"
        "\nCommands:\n";
    for (const TCommand& c : kel::cli::Commands()) {
        std::string name(c.name);
        name.resize(11, ' ');
        text += "  " + name + std::string(c.summary) + "\n";
    }
    text +=
        "\n\"kelview-cli COMMAND --help\" describes a command and its options;\n"
        "\"kelview-cli --version\" prints the version.\n"
        "Messages the window shows in boxes are printed to stderr with their caption.\n"
        "Exit status: 0 success, 1 a failure (reported on stderr), 2 a usage error.\n";
    return text;
}

const TCommand* CommandOfName(const std::string& name) {
    for (const TCommand& c : kel::cli::Commands())
        if (c.name == name) return &c;
    return nullptr;
}

// The last line of a failure is the one a script keeps, so it names the
// files the work was on unless the reason already does.
std::string WithFiles(const std::string& reason, const std::vector<std::string>& files, const std::string& shown) {
    for (const std::string& file : files)
        if (reason.find(file) != std::string::npos) return reason;
    return shown.empty() ? reason : shown + ": " + reason;
}

int Run(const TCommand& command, const std::vector<std::string>& args) {
    const std::string prefix = "kelview-cli " + std::string(command.name) + ": ";
    std::string files;  // what the work was on, once known
    std::vector<std::string> positional;
    try {
        kel::cli::TParsedArgs parsed = kel::cli::ParseArgs(args, command.options);
        positional = parsed.positional;
        for (const std::string& file : positional) files += (files.empty() ? "\"" : " \"") + file + "\"";
        if (parsed.help) {
            std::cout << command.help;
            return 0;
        }
        // Each command decides its status from what the readers and writers
        // returned; the boxes it showed on the way are only printed.
        return command.run(parsed);
    } catch (const kel::cli::EUsage& e) {
        std::cerr << prefix << e.what() << "\nTry \"kelview-cli " << command.name << " --help\".\n";
        return kUsageError;
    } catch (const kel::cli::EFailure& e) {
        if (*e.what()) std::cerr << prefix << WithFiles(e.what(), positional, files) << '\n';
        return kFailure;
    } catch (const std::bad_alloc&) {
        // The readers refuse what no profile needs; past them, the user
        // still learns which work on which file did not fit.
        std::cerr << prefix << "Not enough memory to " << command.work << (files.empty() ? "" : " ") << files << '\n';
        return kFailure;
    } catch (const std::exception& e) {
        // What the window shows in the platform's error box.
        std::cerr << prefix << WithFiles(e.what(), positional, files) << '\n';
        return kFailure;
    }
}

// A full disk or a closed pipe loses the results; the status says so. Stdio
// holds what the streams wrote until it is flushed, so flush and ask here.
int CheckedStandardOutput(int status, const std::string& prefix) {
    errno = 0;
    std::cout.flush();
    bool written = std::fflush(stdout) == 0 && !std::ferror(stdout) && std::cout.good();
    if (written) return status;
    int error = errno;
    std::cerr << prefix << "cannot write standard output: " << (error ? std::strerror(error) : "write error") << '\n';
    return kFailure;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args = kel::os::ProgramArguments(argc, argv);
    if (args.empty()) {
        std::cerr << ToolHelp();
        return kUsageError;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        std::cout << ToolHelp();
        return CheckedStandardOutput(0, "kelview-cli: ");
    }
    if (args[0] == "--version") {
        std::cout << "kelview-cli " KELVIEW_VERSION "\n";
        return CheckedStandardOutput(0, "kelview-cli: ");
    }
    const TCommand* command = CommandOfName(args[0]);
    if (!command) {
        std::cerr << "kelview-cli: unknown command \"" << args[0] << "\"\n" << ToolHelp();
        return kUsageError;
    }
    args.erase(args.begin());
    int status = Run(*command, args);
    return CheckedStandardOutput(status, "kelview-cli " + std::string(command->name) + ": ");
}
