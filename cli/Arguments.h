#pragma once
// The values of the tool's commands that name files: each is given in UTF-8 and made a path
// here, and tagged with what it names, which completion offers (a bank, a folder, any file).
#include <CLI/CLI.hpp>

#include <filesystem>
#include <optional>
#include <string>
#include <unordered_map>

namespace Orvane::Cli {

enum class ValueKind { Bank, Folder, File };

// What each tagged option of the tool names.
class ValueKinds {
 public:
  void Tag(const CLI::Option* option, ValueKind kind) { kinds_[option] = kind; }
  std::optional<ValueKind> Of(const CLI::Option* option) const;

 private:
  std::unordered_map<const CLI::Option*, ValueKind> kinds_;
};

// What every command is added with: where it leaves the process's exit status (0 success,
// 1 failure), and what its values name.
struct Tool {
  int ExitCode = 0;
  ValueKinds Kinds;
};

// An option or positional `name` of `command` whose value is a path that names a `kind`.
CLI::Option* AddPath(CLI::App& command, Tool& tool, const std::string& name,
                     std::filesystem::path& path, const std::string& help, ValueKind kind);
CLI::Option* AddPath(CLI::App& command, Tool& tool, const std::string& name,
                     std::optional<std::filesystem::path>& path, const std::string& help,
                     ValueKind kind);

}  // namespace Orvane::Cli
