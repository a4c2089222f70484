#pragma once
// The Linux programs the tests make sounds with (sox, ffmpeg, espeak-ng), run by a shell. The
// Windows build's tests run them too: under Wine a Linux program starts natively, given the
// Unix names of its files.
#include <filesystem>
#include <string>
#include <vector>

namespace Orvane::Test {

// `path` as the shell and those programs name it: the path itself on Linux; on Windows, a path
// on Wine's drive Z: (the Unix root) in its Unix form.
std::string ShellPath(const std::filesystem::path& path);
// `text` quoted for the shell, as one word.
std::string ShellWord(const std::string& text);
// The exit status of `command`, run by sh -c.
int RunShell(const std::string& command);
// What `command` writes to its standard output.
std::string ShellOutput(const std::string& command);
// Runs `program` with `args` (each one word) in `dir`, by the shell; its exit status.
int RunTool(const std::string& program, const std::vector<std::string>& args,
            const std::filesystem::path& dir);

// Whether this is a Windows program running under Wine, which leaves some of Windows undone.
bool UnderWine();

#if defined(_WIN32)
// A Windows command line that hands each of `words` to the program as one argument.
std::wstring CommandLineOf(const std::vector<std::string>& words);
// A file the cross build names by its Unix path, such as /work/build/bin/orvane-cli.exe, as a
// Windows program names it: on Wine's drive Z:.
std::string BuiltFile(const std::string& path);
#endif

}  // namespace Orvane::Test
