#include "cli/CliTestSupport.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cwchar>
#include <filesystem>
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "cli/CliSession.h"
#include "kinetics/KineticsLibrary.h"
#include "synth/LegacyWriter.h"
#include "synth/ProfileGenerator.h"

#ifndef _WIN32
extern char** environ;
#endif

namespace kel::test {

#ifdef _WIN32

namespace {

std::wstring Wide(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end())).wstring();
}

// One argument as the C runtime of the started program splits it again.
std::wstring Quoted(const std::string& arg) {
    std::wstring wide = Wide(arg), text = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : wide) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        text.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        text += c;
    }
    text.append(2 * backslashes, L'\\');
    return text + L"\"";
}

// The tool writes its console text in the runtime's text mode, "\r\n" at
// each line's end as Windows programs do; the tests compare lines.
std::string Lines(const std::string& text) {
    std::string lines;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] != '\r' || i + 1 == text.size() || text[i + 1] != '\n') lines += text[i];
    return lines;
}

HANDLE Capture(const std::string& path) {
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return ::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

TCliResult RunCli(const std::vector<std::string>& args, const std::string& cwd, const std::vector<std::string>& env) {
    ScratchDir capture;
    const std::string outPath = capture.File("out"), errPath = capture.File("err");
    std::wstring commandLine = Quoted(KELVIEW_CLI_PROGRAM);
    for (const std::string& arg : args) commandLine += L" " + Quoted(arg);
    std::wstring environment;
    if (wchar_t* block = ::GetEnvironmentStringsW()) {
        for (const wchar_t* e = block; *e; e += std::wcslen(e) + 1) environment.append(e).push_back(L'\0');
        ::FreeEnvironmentStringsW(block);
    }
    for (const std::string& e : env) environment.append(Wide(e)).push_back(L'\0');
    environment.push_back(L'\0');

    TCliResult result;
    HANDLE out = Capture(outPath), err = Capture(errPath);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    if (out != INVALID_HANDLE_VALUE && err != INVALID_HANDLE_VALUE &&
        ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT,
                         environment.data(), Wide(cwd).c_str(), &startup, &process)) {
        DWORD status = 0;
        if (::WaitForSingleObject(process.hProcess, INFINITE) == WAIT_OBJECT_0 &&
            ::GetExitCodeProcess(process.hProcess, &status))
            result.status = static_cast<int>(status);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    if (out != INVALID_HANDLE_VALUE) ::CloseHandle(out);
    if (err != INVALID_HANDLE_VALUE) ::CloseHandle(err);
    result.out = Lines(ReadFile(outPath));
    result.err = Lines(ReadFile(errPath));
    return result;
}

#else

TCliResult RunCli(const std::vector<std::string>& args, const std::string& cwd, const std::vector<std::string>& env) {
    ScratchDir capture;
    const std::string outPath = capture.File("out"), errPath = capture.File("err");
    std::vector<std::string> argStrings = {KELVIEW_CLI_PROGRAM};
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

#endif

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
