#include "cli/CliTestSupport.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

// The generator before Qt, whose "slots" keyword would clash with it.
#include "cli/CliSession.h"
#include "kinetics/KineticsLibrary.h"
#include "synth/LegacyWriter.h"
#include "synth/ProfileGenerator.h"

#include <QJsonDocument>
#include <QJsonParseError>

extern char** environ;

namespace kel::test {

TCliResult RunCli(const std::vector<std::string>& args, const std::string& cwd, const std::vector<std::string>& env) {
    ScratchDir capture;
    const std::string outPath = capture.File("out"), errPath = capture.File("err");
    std::vector<std::string> argStrings = {KELVIEW_BINARY_DIR "/bin/kelview-cli"};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<std::string> envStrings;
    for (char** e = environ; *e; ++e) envStrings.emplace_back(*e);
    envStrings.insert(envStrings.end(), env.begin(), env.end());
    auto pointers = [](std::vector<std::string>& strings) {
        std::vector<char*> p;
        for (auto& s : strings) p.push_back(s.data());
        p.push_back(nullptr);
        return p;
    };
    std::vector<char*> argv = pointers(argStrings), envp = pointers(envStrings);
    pid_t pid = ::fork();
    if (pid == 0) {
        int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0 || ::chdir(cwd.c_str()) != 0) ::_exit(127);
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    TCliResult result;
    int status = 0;
    if (pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status)) result.status = WEXITSTATUS(status);
    result.out = ReadFile(outPath);
    result.err = ReadFile(errPath);
    return result;
}

QJsonDocument ParseJson(const std::string& text) {
    QJsonParseError error;
    QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << " in " << text;
    return doc;
}

std::string WriteBreathProfile(const ScratchDir& dir, const std::string& name, std::uint64_t seed,
                               double dateOrigin) {
    synth::ProfileOptions options = synth::DefaultOptions(seed);
    options.dateOrigin = dateOrigin;
    std::string path = dir.File(name);
    synth::WriteLegacyFile(path, synth::MakeProfile(options));
    return path;
}

std::string WriteHeadspaceProfile(const ScratchDir& dir, const std::string& name) {
    synth::ProfileOptions options = synth::DefaultOptions(7);
    options.headspaceDips = true;
    options.cycles = 201;  // every slot recorded, so the dips set the range
    options.reactant = "headspace";
    std::string path = dir.File(name);
    synth::WriteLegacyFile(path, synth::MakeProfile(options));
    return path;
}

void UseDefaultKinetics() {
    SetKineticsFileName(DemoKineticsFileName());
    ReloadKineticsLibrary();
}

}  // namespace kel::test
