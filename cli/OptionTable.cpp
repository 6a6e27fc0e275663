#include "cli/OptionTable.h"

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
    if (!value.empty()) left += " " + value;
    std::string text;
    std::size_t from = 0;
    do {
        std::size_t end = help.find('\n', from);
        if (end == std::string::npos) end = help.size();
        if (left.size() >= kHelpColumn) {
            text += left + "\n";
            left.clear();
        }
        left.resize(kHelpColumn, ' ');
        text += left + help.substr(from, end - from) + "\n";
        left.clear();
        from = end + 1;
    } while (from <= help.size());
    return text;
}

} // namespace ks::cli
