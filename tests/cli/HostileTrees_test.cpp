// Index documents come from other people's trees: whatever their links and
// names hold, no page, table of trees or search data of any shipped layout
// offers a script as a link, and no control byte reaches a page.
#include "cli/RunInProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace ks {
namespace {

// A sorted document: lines "A\tAa<n>\t..." in the order given.
std::string Tree(const std::string& title, const std::string& htmFile,
                 const std::vector<std::string>& links, const std::string& given) {
    std::string text = "[KESTRIN]\r\nversion=3.22\r\ntype=htx\r\nformat=1\r\n[userdata]\r\n"
                       "username=\x1B]0;owned\x07P. de Vries\r\n[metadata]\r\ntitle=" +
                       title + "\r\nhtmfile=" + htmFile +
                       "\r\ndescription1=\x1B[2Jwiped\r\n[indexdata]\r\n";
    for (std::size_t i = 0; i < links.size(); ++i)
        text += "A\tAa" + std::string(1, static_cast<char>('a' + i)) + "\t" + given + "\t\t\t\t" +
                std::to_string(i + 1) + "\t" + links[i] + "\r\n";
    return text;
}

std::string Lower(std::string text) {
    std::ranges::transform(text, text.begin(),
                           [](char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
    return text;
}

// The scheme a browser reads at the start of an attribute value: leading
// blanks and control bytes passed over, tabs and line breaks removed, the
// four entities the pages use decoded; "" for a path.
std::string SchemeOf(std::string value) {
    for (const auto& [entity, byte] : std::vector<std::pair<std::string, std::string>>{
             {"&quot;", "\""}, {"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}})
        for (std::size_t at = value.find(entity); at != std::string::npos;
             at = value.find(entity, at + 1))
            value.replace(at, entity.size(), byte);
    std::erase_if(value, [](char c) { return c == '\t' || c == '\n' || c == '\r'; });
    const std::size_t start = value.find_first_not_of(std::string("\x01\x02\x03 ", 4));
    value = Lower(start == std::string::npos ? std::string() : value.substr(start));
    const std::size_t colon = value.find(':');
    if (colon == std::string::npos || value.empty() || value[0] < 'a' || value[0] > 'z') return "";
    const std::string scheme = value.substr(0, colon);
    const bool schemeChars = std::all_of(scheme.begin(), scheme.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
    });
    return schemeChars ? scheme : "";
}

// Every value of the attribute (name="...") in the text.
std::vector<std::string> AttributeValues(const std::string& text, const std::string& name) {
    std::vector<std::string> values;
    const std::string start = name + "=\"";
    for (std::size_t at = text.find(start); at != std::string::npos;
         at = text.find(start, at + 1)) {
        const std::size_t from = at + start.size();
        values.push_back(text.substr(from, text.find('"', from) - from));
    }
    return values;
}

class HostileTrees : public ::testing::TestWithParam<std::string> {
protected:
    HostileTrees() {
        fs::create_directories(dir.file("out/sub"));
        // A tree in the output folder: its folder in the search data is "".
        WriteFileBytes(dir.file("out/own.htx"),
                       Tree("\x1B[31mOwn\x07 tree\x81", "javascript:alert(10)",
                            {"javascript:alert(1)", "JAVASCRIPT:alert(2)",
                             "\x01javascript:alert(3)", "   javascript:alert(4)",
                             "java\tscript:alert(5)", "data:text/html,<script>alert(6)</script>",
                             "vbscript:msgbox(7)", "file:///etc/passwd", "p.htm#ok"},
                            "Jan\x1B[1m\x7F\x9D"));
        // A tree in a folder of it whose links climb back out.
        WriteFileBytes(dir.file("out/sub/deep.htx"),
                       Tree("Deep", "../JavaScript:alert(11)",
                            {"../javascript:alert(8)", "../JaVaScRiPt:alert(9)"}, "Piet\x08"));
    }

    Outcome Build() {
        return RunInProcess({"--language=GB", "build", "-q", "-l", GetParam(), "-o", "out", "-b",
                             "idx", "out/own.htx", "out/sub/deep.htx"},
                            dir.path().string());
    }

    test::TempDir dir;
};

TEST_P(HostileTrees, NoOutputOffersAScriptAndNoControlByteReachesIt) {
    const Outcome r = Build();
    ASSERT_EQ(0, r.exitCode) << r.err;
    int files = 0;
    std::string all; // the files of the output folder itself
    for (const auto& item : fs::recursive_directory_iterator(dir.file("out"))) {
        const std::string name = item.path().filename().string();
        if (!item.is_regular_file() || !name.starts_with("idx")) continue;
        ++files;
        const std::string text = ReadFileBytes(item.path().string());
        if (item.path().parent_path() == dir.file("out")) all += text;
        for (const std::string attribute : {"href", "src", "value", "action"})
            for (const std::string& value : AttributeValues(Lower(text), attribute)) {
                const std::string scheme = SchemeOf(value);
                // mailto: is the layout's own, for the e-mail address of the run.
                EXPECT_TRUE(scheme.empty() || scheme == "http" || scheme == "https" ||
                            (scheme == "mailto" && value == "mailto:"))
                    << name << ": " << attribute << "=\"" << value << "\"";
            }
        // The search data: every link refused is null, so no script is left.
        if (name.starts_with("idx_search")) {
            for (const std::string script : {"javascript:", "vbscript:", "data:", "file:"})
                EXPECT_EQ(std::string::npos, Lower(text).find(script)) << name;
        }
        for (const unsigned char c : text)
            EXPECT_TRUE((c >= 0x20 && c != 0x7F) || c == '\t' || c == '\r' || c == '\n')
                << name << ": " << int(c);
        for (const char* c1 : {"\xC2\x81", "\xC2\x9D", "\\u001b", "\\u0007", "\\u0081"})
            EXPECT_EQ(std::string::npos, Lower(text).find(c1)) << name << ": " << c1;
        if (HasFailure()) break;
    }
    EXPECT_GT(files, 3);
    // The one ordinary link is still there.
    EXPECT_NE(std::string::npos, all.find("href=\"p.htm#ok\"")) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(EveryShippedLayout, HostileTrees,
                         ::testing::Values("Modern", "Two panes (classic)",
                                           "Single file (compact)"));

} // namespace
} // namespace ks
