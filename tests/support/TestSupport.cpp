#include "support/TestSupport.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <utime.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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
    std::string tmpl = (std::filesystem::temp_directory_path() / "kelview-test-XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) throw std::runtime_error("cannot make a scratch folder");
    path_ = tmpl;
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
    for (const auto& entry : std::filesystem::directory_iterator(path)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

bool HaveTool(const std::string& tool) {
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

int RunTool(const std::string& command, std::string* output) {
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return -1;
    std::string text;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) text.append(buf, n);
    int status = ::pclose(pipe);
    if (output) *output = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void SetFileTime(const std::string& path, long long seconds) {
    struct utimbuf times {};
    times.actime = static_cast<time_t>(seconds);
    times.modtime = static_cast<time_t>(seconds);
    if (::utime(path.c_str(), &times) != 0) throw std::runtime_error("cannot set file time of " + path);
}

}  // namespace kel::test
