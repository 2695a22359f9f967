#pragma once
// Running the built kelview-cli from the tests, and the profiles they use.
#include <string>
#include <vector>

#include "support/TestSupport.h"

class QJsonDocument;

namespace kel::test {

struct TCliResult {
    int status = -1;  // exit status; -1 when the tool did not exit normally
    std::string out, err;
};

// Runs kelview-cli with args in folder cwd, the environment extended by
// entries "NAME=VALUE".
TCliResult RunCli(const std::vector<std::string>& args, const std::string& cwd,
                  const std::vector<std::string>& env = {});

// The JSON text as a document; fails the test when it does not parse.
QJsonDocument ParseJson(const std::string& text);

// A generated breath profile (seed) written as a legacy file dir/name.
std::string WriteBreathProfile(const ScratchDir& dir, const std::string& name, std::uint64_t seed,
                               double dateOrigin = 46000.4375);

// A generated headspace profile with pressure dips, written as dir/name.
std::string WriteHeadspaceProfile(const ScratchDir& dir, const std::string& name);

// Loads the CLI's default kinetics library into the process, as the tool does.
void UseDefaultKinetics();

}  // namespace kel::test
