#include "support/TestSupport.h"

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace kel::test {

RecordedMessages::RecordedMessages() : previous_(SetMessageSink(this)) {}
RecordedMessages::~RecordedMessages() { SetMessageSink(previous_); }

void RecordedMessages::Show(std::string_view caption, std::string_view text) {
    shown.emplace_back(std::string(caption), std::string(text));
}

std::vector<std::string> RecordedMessages::Texts() const {
    std::vector<std::string> texts;
    for (const auto& [caption, text] : shown) texts.push_back(text);
    return texts;
}

ScratchDir::ScratchDir() {
    static std::mt19937_64 random{std::random_device{}()};
    const std::filesystem::path temp = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        std::filesystem::path candidate = temp / ("kelview-test-" + std::to_string(random() % 1000000000));
        // create_directory says false when the name was taken meanwhile.
        if (std::filesystem::create_directory(candidate)) path_ = candidate.generic_string();
    }
    if (path_.empty()) throw std::runtime_error("cannot make a scratch folder");
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFileForTest(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::vector<std::string> ListFolder(const std::string& path) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool HaveTool(const std::string& tool) {
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

int RunTool(const std::string& command, std::string* output) {
#ifdef _WIN32
    FILE* pipe = ::_popen(command.c_str(), "rb");
#else
    FILE* pipe = ::popen(command.c_str(), "r");
#endif
    if (!pipe) return -1;
    std::string text;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) text.append(buf, n);
#ifdef _WIN32
    int status = ::_pclose(pipe);
    if (output) *output = text;
    return status;
#else
    int status = ::pclose(pipe);
    if (output) *output = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

bool PermissionsBind() {
#ifdef _WIN32
    return false;
#else
    return ::geteuid() != 0;
#endif
}

void SetFileTime(const std::string& path, long long seconds) {
    using std::chrono::file_clock;
    std::error_code ec;
    auto time = file_clock::from_sys(std::chrono::system_clock::time_point(std::chrono::seconds(seconds)));
    std::filesystem::last_write_time(path, std::chrono::time_point_cast<file_clock::duration>(time), ec);
    if (ec) throw std::runtime_error("cannot set file time of " + path + ": " + ec.message());
}

}  // namespace kel::test
