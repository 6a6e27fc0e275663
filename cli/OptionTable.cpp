#include "cli/OptionTable.h"

#include "cli/Messages.h"

namespace ks::cli {

namespace {

// Where the help of every option starts.
constexpr std::size_t kHelpColumn = 26;

} // namespace

std::string OptionLines(const std::vector<std::string>& names, const std::string& value,
                        const std::string& help) {
    std::string left = "  ";
    for (std::size_t i = 0; i < names.size(); ++i)
        left += (i == 0 ? "" : ", ") + names[i];
    // A value's name is a text of the language files, or a form like "1..6".
    if (!value.empty()) left += " " + (value[0] == '#' ? Say(value) : value);
    std::string text;
    if (left.size() >= kHelpColumn) {
        text = left + "\n";
        left.clear();
    }
    left.resize(kHelpColumn, ' ');
    return text + Wrapped(Say(help), kHelpColumn, left);
}

UsageError UnknownOption(const std::string& option) {
    return UsageError{Say("#1606.1=onbekende optie %1", {option})};
}

UsageError MissingValue(const std::string& option) {
    return UsageError{Say("#1606.2=er ontbreekt een waarde na %1", {option})};
}

} // namespace ks::cli
