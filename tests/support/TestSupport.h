#pragma once
// Shared helpers of the tests: recorded message boxes and scratch folders.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/Messages.h"

namespace kel::test {

// Records every box instead of showing it; installed for its lifetime.
class RecordedMessages : public MessageSink {
public:
    RecordedMessages();
    ~RecordedMessages() override;
    RecordedMessages(const RecordedMessages&) = delete;
    RecordedMessages& operator=(const RecordedMessages&) = delete;
    void Show(std::string_view caption, std::string_view text) override;
    // The texts shown, in order.
    std::vector<std::string> Texts() const;
    std::vector<std::pair<std::string, std::string>> shown;  // caption, text

private:
    MessageSink* previous_;
};

// A fresh folder under the system's temporary folder, removed with its contents.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string File(std::string_view name) const { return path_ + "/" + std::string(name); }

private:
    std::string path_;
};

// The file's bytes as a string (empty when missing).
std::string ReadFile(const std::string& path);

// Writes bytes to path (raises on failure).
void WriteFileForTest(const std::string& path, const std::string& bytes);

// Names of the entries of a folder, sorted.
std::vector<std::string> ListFolder(const std::string& path);

// True when the shell finds the command-line tool.
bool HaveTool(const std::string& tool);

// Runs a shell command; returns its exit status (-1 when it did not run
// normally) and fills `output` with what it printed on stdout.
int RunTool(const std::string& command, std::string* output = nullptr);

// True when permission bits bind the running user: not for root, and not on
// Windows, whose folders take new files whatever their bits say.
bool PermissionsBind();

// Sets a file's modification time (seconds since 1970).
void SetFileTime(const std::string& path, long long seconds);

}  // namespace kel::test
