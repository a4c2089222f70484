#pragma once
// Shell completion for orvane-cli, written from the tool's own definition of its commands, so
// that a command or an option completes as soon as it exists, with no second list to keep.
#include <CLI/CLI.hpp>
#include <string>

#include "Arguments.h"

namespace Orvane::Cli {

// The completion script of `app` for `shell` ("bash", "zsh" or "fish"). It completes the
// commands, their options, the values a validator lists (such as --format's) and file names
// by what `kinds` says a value names: a bank (*.sdt), a folder or any file.
std::string CompletionScript(const CLI::App& app, const ValueKinds& kinds, const std::string& shell);

// A hidden --completion SHELL that prints the script and exits. It reads `app` and `kinds`
// when it runs, so the commands added after it complete too.
void AddCompletionOption(CLI::App& app, const ValueKinds& kinds);

}  // namespace Orvane::Cli
