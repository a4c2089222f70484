#include "Arguments.h"

#include "PathUtf8.h"

namespace Orvane::Cli {

std::optional<ValueKind> ValueKinds::Of(const CLI::Option* option) const {
  const auto found = kinds_.find(option);
  return found == kinds_.end() ? std::nullopt : std::optional(found->second);
}

CLI::Option* AddPath(CLI::App& command, Tool& tool, const std::string& name,
                     std::filesystem::path& path, const std::string& help, ValueKind kind) {
  CLI::Option* option = command.add_option_function<std::string>(
      name, [&path](const std::string& text) { path = Utf8ToPath(text); }, help);
  if (!path.empty()) option->default_str(PathToUtf8(path));
  tool.Kinds.Tag(option, kind);
  return option;
}

CLI::Option* AddPath(CLI::App& command, Tool& tool, const std::string& name,
                     std::optional<std::filesystem::path>& path, const std::string& help,
                     ValueKind kind) {
  CLI::Option* option = command.add_option_function<std::string>(
      name, [&path](const std::string& text) { path = Utf8ToPath(text); }, help);
  tool.Kinds.Tag(option, kind);
  return option;
}

}  // namespace Orvane::Cli
