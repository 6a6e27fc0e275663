// The options of a command as one table: each option's names, the value it
// takes, its help and what it sets. The usage text, the list of options that
// take a value (which the switch parser must not read as switches) and the
// parser all come from it, so an option is spelled once.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace ks::cli {

// A mistake in the arguments: exit status 2 with the message and the usage;
// an empty message asks for the usage alone (--help).
struct UsageError {
    std::string message;
};

template <typename Options> struct Option {
    std::vector<std::string> names; // "-o", "--output"
    // The value's name in the usage: a text of the language files ("#key=MAP")
    // or a form ("1..6"); "" for a flag.
    std::string value;
    std::string help; // a text of the language files ("#key=...")
    // Sets what the option stands for; a flag gets "". May throw UsageError.
    std::function<void(Options&, const std::string&)> set;
};

// The lines of the usage text of an option, its help (a text of the language
// files) in the run's language in a column of its own.
std::string OptionLines(const std::vector<std::string>& names, const std::string& value,
                        const std::string& help);

// The errors of the parser, in the run's language.
UsageError UnknownOption(const std::string& option);
UsageError MissingValue(const std::string& option);

template <typename Options> std::string OptionsUsage(const std::vector<Option<Options>>& table) {
    std::string text;
    for (const Option<Options>& option : table)
        text += OptionLines(option.names, option.value, option.help);
    return text;
}

template <typename Options>
std::vector<std::string> OptionsWithValue(const std::vector<Option<Options>>& table) {
    std::vector<std::string> names;
    for (const Option<Options>& option : table)
        if (!option.value.empty())
            names.insert(names.end(), option.names.begin(), option.names.end());
    return names;
}

// Reads args into options by table; every argument that is no option (and
// every one after "--") goes to operand. Raises UsageError for "-h" or
// "--help" (empty message), an unknown option or a missing value.
template <typename Options>
void ParseByTable(const std::vector<Option<Options>>& table, const std::vector<std::string>& args,
                  Options& options, const std::function<void(const std::string&)>& operand) {
    bool onlyOperands = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (onlyOperands || a.size() < 2 || a[0] != '-') {
            operand(a);
            continue;
        }
        if (a == "-h" || a == "--help") throw UsageError{""};
        if (a == "--") {
            onlyOperands = true;
            continue;
        }
        const Option<Options>* found = nullptr;
        for (const Option<Options>& option : table)
            for (const std::string& name : option.names)
                if (name == a) found = &option;
        if (found == nullptr) throw UnknownOption(a);
        if (found->value.empty()) {
            found->set(options, "");
            continue;
        }
        if (i + 1 >= args.size()) throw MissingValue(a);
        found->set(options, args[++i]);
    }
}

} // namespace ks::cli
