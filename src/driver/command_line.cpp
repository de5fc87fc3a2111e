#include "driver/command_line.h"

#include <algorithm>

namespace quorvane {

namespace {

const OptionSpec* FindSpec(std::span<const OptionSpec> specs, auto&& matches) {
  const auto found = std::find_if(specs.begin(), specs.end(), matches);
  return found == specs.end() ? nullptr : &*found;
}

}  // namespace

bool CommandLine::Has(int id) const {
  return std::any_of(options.begin(), options.end(),
                     [id](const Option& option) { return option.id == id; });
}

CommandLine ParseCommandLine(int argc, const char* const* argv, std::span<const OptionSpec> specs) {
  CommandLine line;
  bool optionsEnded = false;
  for (int i = 1; i < argc && line.error.empty(); ++i) {
    const std::string_view word = argv[i] != nullptr ? argv[i] : "";
    // "-" alone names standard input or output, as an operand.
    if (optionsEnded || !word.starts_with('-') || word == "-") {
      line.operands.emplace_back(word);
      continue;
    }
    if (word == "--") {
      optionsEnded = true;
      continue;
    }
    // The option's argument from the next word, when there is one.
    const auto takeNextWord = [&](std::string& argument) {
      if (i + 1 >= argc || argv[i + 1] == nullptr) return false;
      argument = argv[++i];
      return true;
    };

    if (word.starts_with("--")) {
      const std::string_view body = word.substr(2);
      const auto equals = body.find('=');
      const std::string_view name = body.substr(0, equals);
      const std::string shown = "'--" + std::string(name) + "'";
      const OptionSpec* spec = FindSpec(specs, [name](const OptionSpec& s) {
        return !s.longName.empty() && s.longName == name;
      });
      CommandLine::Option option{spec != nullptr ? spec->id : 0, {}};
      if (spec == nullptr) {
        line.error = "unknown option " + shown;
      } else if (equals != std::string_view::npos) {
        if (spec->takesArgument) {
          option.argument = body.substr(equals + 1);
        } else {
          line.error = "option " + shown + " takes no argument";
        }
      } else if (spec->takesArgument && !takeNextWord(option.argument)) {
        line.error = "option " + shown + " needs an argument";
      }
      if (line.error.empty()) line.options.push_back(std::move(option));
      continue;
    }

    if (word.size() == 1) {
      line.error = "unknown option '-'";
      continue;
    }
    // A cluster of short options; one that takes an argument ends it.
    for (std::size_t k = 1; k < word.size() && line.error.empty(); ++k) {
      const char name = word[k];
      const std::string shown = std::string("'-") + name + "'";
      const OptionSpec* spec =
          FindSpec(specs, [name](const OptionSpec& s) { return s.shortName == name; });
      if (spec == nullptr) {
        line.error = "unknown option " + shown;
        break;
      }
      CommandLine::Option option{spec->id, {}};
      if (spec->takesArgument) {
        if (k + 1 < word.size()) {
          option.argument = word.substr(k + 1);
        } else if (!takeNextWord(option.argument)) {
          line.error = "option " + shown + " needs an argument";
          break;
        }
        k = word.size();
      }
      line.options.push_back(std::move(option));
    }
  }
  return line;
}

std::string UsageHint(std::string_view program) {
  return "Try '" + std::string(program) + " --help'.";
}

}  // namespace quorvane
