#include "Completion.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <map>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "SoundFileName.h"
#include "Text.h"

namespace Orvane::Cli {
namespace {

// What the shell offers for a value.
enum class Values { None, Words, Bank, Folder, File };

struct Argument {
  std::vector<std::string> Names;  // "-o", "--output"; a positional's one name, "BANK"
  std::string Help;
  bool TakesValue = true;
  bool Repeats = false;  // a positional that takes every word left
  Values Kind = Values::None;
  std::vector<std::string> Words;
};

struct Command {
  std::string Name;  // empty for the tool itself
  std::string Help;
  std::vector<Argument> Options;
  std::vector<Argument> Positionals;
};

std::string Join(const std::vector<std::string>& words, const char* between = " ") {
  std::string text;
  for (const std::string& word : words) text += (text.empty() ? "" : between) + word;
  return text;
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t at = 0;
  for (std::size_t next; (next = text.find(separator, at)) != std::string::npos; at = next + 1)
    parts.push_back(text.substr(at, next - at));
  parts.push_back(text.substr(at));
  return parts;
}

// CLI11 writes a value's type and its validators as "TEXT:{csv,json,table}" or
// "UINT:UINT in [1 - 255]"; a list in braces is the only values there are. A value that names a
// file was tagged so where its option was made; any other is free text or a number.
void Classify(const CLI::Option& option, const ValueKinds& kinds, Argument& argument) {
  for (const std::string& part : Split(option.get_type_name(), ':'))
    if (part.size() > 2 && part.front() == '{' && part.back() == '}') {
      argument.Words = Split(part.substr(1, part.size() - 2), ',');
      argument.Kind = Values::Words;
      return;
    }
  const auto kind = kinds.Of(&option);
  if (!kind) return;  // Values::None: free text, such as a name, or a number
  switch (*kind) {
    case ValueKind::Bank: argument.Kind = Values::Bank; break;
    case ValueKind::Folder: argument.Kind = Values::Folder; break;
    case ValueKind::File: argument.Kind = Values::File; break;
  }
}

Command Describe(const CLI::App& app, const ValueKinds& kinds, std::string name) {
  Command command{std::move(name), app.get_description(), {}, {}};
  const auto visible = [](const CLI::Option* option) { return !option->get_group().empty(); };
  for (const CLI::Option* option : app.get_options(visible)) {
    Argument argument;
    argument.Help = option->get_description();
    argument.TakesValue = option->get_expected_max() > 0;
    if (!option->nonpositional()) {
      argument.Names = {option->get_name(true)};
      argument.Repeats = option->get_items_expected_max() > 1;
      Classify(*option, kinds, argument);
      command.Positionals.push_back(std::move(argument));
      continue;
    }
    for (const std::string& s : option->get_snames()) argument.Names.push_back("-" + s);
    for (const std::string& l : option->get_lnames()) argument.Names.push_back("--" + l);
    if (argument.TakesValue) Classify(*option, kinds, argument);
    command.Options.push_back(std::move(argument));
  }
  return command;
}

// The tool first, then each command it shows in its help.
std::vector<Command> DescribeAll(const CLI::App& app, const ValueKinds& kinds) {
  std::vector<Command> commands{Describe(app, kinds, "")};
  const auto visible = [](const CLI::App* sub) { return !sub->get_group().empty(); };
  for (const CLI::App* sub : app.get_subcommands(visible))
    commands.push_back(Describe(*sub, kinds, sub->get_name()));
  return commands;
}

// `text` inside single quotes of sh, where only a quote needs care.
std::string ShQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// "sdt" as "[sS][dD][tT]": bash's glob for the bank's extension in any case.
std::string AnyCaseGlob(std::string_view extension) {
  std::string glob;
  for (char c : extension)
    glob +=
        std::isalpha(static_cast<unsigned char>(c))
            ? Str('[', static_cast<char>(std::tolower(c)), static_cast<char>(std::toupper(c)), ']')
            : std::string(1, c);
  return glob;
}

// "orvane-cli" as "orvane_cli", for the names of a script's functions.
std::string Identifier(std::string name) {
  for (char& c : name)
    if (c == '-') c = '_';
  return name;
}

std::vector<std::string> ValuedOptionNames(const Command& command) {
  std::vector<std::string> names;
  for (const Argument& option : command.Options)
    if (option.TakesValue) names.insert(names.end(), option.Names.begin(), option.Names.end());
  return names;
}

// `text` with each @X of `values` replaced; any other @ stays.
std::string Fill(const std::string& text, const std::map<char, std::string>& values) {
  std::string out;
  for (std::size_t at = 0; at < text.size(); ++at) {
    const auto value =
        text[at] == '@' && at + 1 < text.size() ? values.find(text[at + 1]) : values.end();
    if (value == values.end()) {
      out += text[at];
    } else {
      out += value->second;
      ++at;
    }
  }
  return out;
}

std::string BashScript(const std::string& program, const std::vector<Command>& commands) {
  const std::string function = "_" + Identifier(program);
  std::string specs, commandNames;
  std::map<std::string, std::vector<std::string>> casesByAction;  // "list --format" and such
  for (const Command& command : commands) {
    std::vector<std::string> options, positionals;
    for (const Argument& option : command.Options)
      options.insert(options.end(), option.Names.begin(), option.Names.end());
    for (const Argument& positional : command.Positionals)
      positionals.push_back(positional.Names.front() + (positional.Repeats ? "..." : ""));
    specs += Str("    ", command.Name.empty() ? "''" : ShQuote(command.Name),
                 ") options=", ShQuote(Join(options)),
                 " valued=", ShQuote(Join(ValuedOptionNames(command))),
                 " positionals=", ShQuote(Join(positionals)), " ;;\n");
    if (!command.Name.empty()) commandNames += (commandNames.empty() ? "" : " ") + command.Name;

    auto addCases = [&](const Argument& argument) {
      std::string action;
      switch (argument.Kind) {
        case Values::None: return;
        case Values::Words: action = Str(function, "_words ", ShQuote(Join(argument.Words))); break;
        case Values::Bank: action = function + "_files bank"; break;
        case Values::Folder: action = function + "_files folder"; break;
        case Values::File: action = function + "_files file"; break;
      }
      for (const std::string& name : argument.Names)
        casesByAction[action].push_back(ShQuote(command.Name + " " + name));
    };
    for (const Argument& option : command.Options)
      if (option.TakesValue) addCases(option);
    for (const Argument& positional : command.Positionals) addCases(positional);
  }
  std::string cases;
  for (const auto& [action, patterns] : casesByAction)
    cases += Str("    ", Join(patterns, " | "), ") ", action, " \"$3\" ;;\n");

  std::string script = R"(# bash completion for @P
# Written by `@P --completion bash` from the tool's own commands.

# The words of $1 that begin with $2.
@F_words() {
  local IFS=$' \t\n'
  COMPREPLY=($(compgen -W "$1" -- "$2"))
}

# Files: banks ($1 = bank), folders or any file, beginning with $2.
@F_files() {
  local IFS=$'\n'
  case $1 in
    bank) COMPREPLY=($(compgen -d -- "$2") $(compgen -f -X '!*@E' -- "$2")) ;;
    folder) COMPREPLY=($(compgen -d -- "$2")) ;;
    *) COMPREPLY=($(compgen -f -- "$2")) ;;
  esac
  # Quotes what needs quoting and ends a folder's name with a slash.
  compopt -o filenames 2>/dev/null
}

# The options of a command (or of the tool, for ''), those of them that take a value, and
# its positional arguments, the last one with "..." when it takes every word left.
@F_command() {
  case $1 in
@S    *) return 1 ;;
  esac
}

# Completes the value $3 of option or positional argument $2 of command $1.
@F_value() {
  case "$1 $2" in
@C  esac
}

@F() {
  local cur=${COMP_WORDS[COMP_CWORD]} command='' pending='' position=0 i word
  local options valued positionals
  COMPREPLY=()
  @F_command ''
  # bash splits --format=csv at the "=": the value is a word of its own.
  [[ $cur == = ]] && cur=''
  for ((i = 1; i < COMP_CWORD; i++)); do
    word=${COMP_WORDS[i]}
    if [[ $word == = ]]; then
      continue
    elif [[ -n $pending ]]; then
      pending=''
    elif [[ $word == -* ]]; then
      [[ " $valued " == *" $word "* ]] && pending=$word
    elif [[ -z $command ]]; then
      command=$word
      @F_command "$command" || return 0
    else
      position=$((position + 1))
    fi
  done
  if [[ -n $pending ]]; then
    @F_value "$command" "$pending" "$cur"
  elif [[ $cur == -* ]]; then
    @F_words "$options" "$cur"
  elif [[ -z $command ]]; then
    @F_words @N "$cur"
  else
    local names=($positionals) name
    ((${#names[@]} > 0)) || return 0
    if ((position < ${#names[@]})); then
      name=${names[position]}
    else
      name=${names[${#names[@]} - 1]}
      [[ $name == *... ]] || return 0
    fi
    @F_value "$command" "${name%...}" "$cur"
  fi
  return 0
}

complete -F @F @P
)";
  return Fill(script, {{'P', program},
                       {'F', function},
                       {'E', AnyCaseGlob(kBankExtension)},
                       {'S', specs},
                       {'C', cases},
                       {'N', ShQuote(commandNames)}});
}

// `text` for the brackets of an _arguments spec, where \, [, ] and : are special.
std::string ZshHelp(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    if (c == '\\' || c == '[' || c == ']' || c == ':') escaped += '\\';
    escaped += c;
  }
  return escaped;
}

std::string ZshAction(const Argument& argument) {
  switch (argument.Kind) {
    case Values::Words: return Str("(", Join(argument.Words), ")");
    case Values::Bank: return Str("_files -g \"*(#i)", kBankExtension, "(-.)\"");
    case Values::Folder: return "_files -/";
    case Values::File: return "_files";
    case Values::None: break;
  }
  return " ";  // shows what the value is and offers nothing
}

// One _arguments spec a line, each ending with a backslash.
std::string ZshSpecs(const Command& command, const char* indent) {
  std::string specs;
  for (const Argument& option : command.Options) {
    const std::string together =
        option.Names.size() > 1 ? Str("(", Join(option.Names), ")") : std::string();
    for (const std::string& name : option.Names) {
      std::string spec = together + name;
      if (option.TakesValue) spec += name.size() == 2 ? "+" : "=";
      spec += Str("[", ZshHelp(option.Help), "]");
      if (option.TakesValue)
        spec += Str(":", option.Names.back().substr(option.Names.back().find_first_not_of('-')),
                    ":", ZshAction(option));
      specs += Str(indent, ShQuote(spec), " \\\n");
    }
  }
  for (const Argument& positional : command.Positionals)
    specs += Str(indent,
                 ShQuote(Str(positional.Repeats ? "*:" : ":", positional.Names.front(), ":",
                             ZshAction(positional))),
                 " \\\n");
  return specs;
}

std::string ZshScript(const std::string& program, const std::vector<Command>& commands) {
  std::string descriptions, cases;
  for (std::size_t i = 1; i < commands.size(); ++i) {
    descriptions += Str("        ", ShQuote(commands[i].Name + ":" + commands[i].Help), "\n");
    cases += Str("        ", ShQuote(commands[i].Name), ")\n          _arguments \\\n",
                 ZshSpecs(commands[i], "            "), "            && ret=0\n          ;;\n");
  }
  const std::string script = R"(#compdef @P
# zsh completion for @P
# Written by `@P --completion zsh` from the tool's own commands.

_@P() {
  local curcontext=$curcontext state state_descr line ret=1
  typeset -A opt_args
  _arguments -C \
@T    '1:command:->command' \
    '*::argument:->argument' && ret=0
  case $state in
    command)
      local -a commands=(
@D      )
      _describe -t commands command commands && ret=0
      ;;
    argument)
      curcontext=${curcontext%:*:*}:@P-$words[1]:
      case $words[1] in
@C      esac
      ;;
  esac
  return ret
}

_@P "$@"
)";
  return Fill(script, {{'P', program},
                       {'T', ZshSpecs(commands.front(), "    ")},
                       {'D', descriptions},
                       {'C', cases}});
}

// `text` inside single quotes of fish, where \ and ' are special.
std::string FishQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\\' || c == '\'') quoted += '\\';
    quoted += c;
  }
  return quoted + "'";
}

std::string FishAction(const Argument& argument, const std::string& banks) {
  switch (argument.Kind) {
    case Values::Words: return Str(" -x -a ", FishQuote(Join(argument.Words)));
    case Values::Bank: return Str(" -x -a '(", banks, ")'");
    case Values::Folder: return " -x -a '(__fish_complete_directories)'";
    case Values::File: return " -r -F";
    case Values::None: break;
  }
  return " -x";
}

std::string FishScript(const std::string& program, const std::vector<Command>& commands) {
  const std::string prefix = "__" + Identifier(program);
  const std::string position = prefix + "_position", banks = prefix + "_banks";
  const std::string complete = "complete -c " + program;
  std::string lines;
  for (const Command& command : commands) {
    const std::string when = command.Name.empty()
                                 ? std::string("__fish_use_subcommand")
                                 : Str("__fish_seen_subcommand_from ", command.Name);
    lines += "\n";
    if (!command.Name.empty())
      lines += Str(complete, " -n __fish_use_subcommand -a ", FishQuote(command.Name), " -d ",
                   FishQuote(command.Help), "\n");
    for (const Argument& option : command.Options) {
      lines += Str(complete, " -n ", FishQuote(when));
      for (const std::string& name : option.Names)
        lines += Str(name.size() == 2 ? " -s " : " -l ", name.substr(name.find_first_not_of('-')));
      if (option.TakesValue) lines += FishAction(option, banks);
      lines += Str(" -d ", FishQuote(option.Help), "\n");
    }
    const std::string valued = Join(ValuedOptionNames(command));
    for (std::size_t i = 0; i < command.Positionals.size(); ++i) {
      const Argument& positional = command.Positionals[i];
      if (positional.Kind == Values::None) continue;
      const std::string at = Str(position, valued.empty() ? "" : " ", valued, ") ",
                                 positional.Repeats ? "-ge " : "-eq ", i);
      lines += Str(complete, " -n ", FishQuote(Str(when, "; and test (", at)), " -k",
                   FishAction(positional, banks), "\n");
    }
  }
  const std::string script = R"(# fish completion for @P
# Written by `@P --completion fish` from the tool's own commands.

# How many positional arguments of the command precede the one being typed; the arguments
# are the command's options that take a value.
function @F
    set -l words (commandline -opc)
    set -l count 0
    set -l pending 0
    for word in $words[3..-1]
        if test $pending = 1
            set pending 0
        else if contains -- $word $argv
            set pending 1
        else if not string match -q -- '-*' $word
            set count (math $count + 1)
        end
    end
    echo $count
end

# Banks and folders; fish's suffix completion would offer every other file after them.
function @B
    __fish_complete_suffix @E | string match -ri -- '^.*(?:\@E|/)$'
end

# Files only where a file goes.
complete -c @P -f
@C)";
  return Fill(script, {{'P', program},
                       {'F', position},
                       {'B', banks},
                       {'E', std::string(kBankExtension)},
                       {'C', lines}});
}

}  // namespace

std::string CompletionScript(const CLI::App& app, const ValueKinds& kinds, const std::string& shell) {
  const std::vector<Command> commands = DescribeAll(app, kinds);
  if (shell == "bash") return BashScript(app.get_name(), commands);
  if (shell == "zsh") return ZshScript(app.get_name(), commands);
  if (shell == "fish") return FishScript(app.get_name(), commands);
  throw std::invalid_argument(Str("no completion for the shell ", shell));
}

void AddCompletionOption(CLI::App& app, const ValueKinds& kinds) {
  app.add_option_function<std::string>(
         "--completion",
         [&app, &kinds](const std::string& shell) {
           errno = 0;
           std::cout << CompletionScript(app, kinds, shell) << std::flush;
           if (!std::cout)
             throw std::runtime_error(Str("cannot write to standard output: ",
                                          errno != 0 ? std::strerror(errno) : "write error"));
           // Printed: the command line needs no command.
           throw CLI::Success();
         },
         "Print the completion script for SHELL")
      ->check(CLI::IsMember({"bash", "zsh", "fish"}))
      ->group("");
}

}  // namespace Orvane::Cli
