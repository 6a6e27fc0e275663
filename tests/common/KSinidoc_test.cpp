#include "common/KSinidoc.h"

#include "common/KSnamecase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace ks {
namespace {

std::string Read(IniDocument& doc, const std::string& section, const std::string& key) {
    return doc.ReadValue(section, key).value_or("<missing>");
}

// Applies a write and returns the document's new text ("<refused>"/"<same>" otherwise).
std::string Written(const std::string& text, const std::string& section, const std::string& key,
                    const std::string& value) {
    IniDocument doc(text);
    IniDocument::Edit edit;
    switch (doc.PlanWrite(section, key, value, edit)) {
    case IniDocument::PlanResult::Refused:
        return "<refused>";
    case IniDocument::PlanResult::NoChange:
        return "<same>";
    case IniDocument::PlanResult::Change:
        break;
    }
    doc.Apply(edit);
    return doc.Text();
}

TEST(KSinidoc, SectionsAndKeysMatchWithoutRegardToCase) {
    IniDocument doc("[KESTRIN]\r\nType=htx\r\n[MetaData]\r\nTITLE=Stamboom\r\n");
    EXPECT_EQ("htx", Read(doc, "kestrin", "type"));
    EXPECT_EQ("Stamboom", Read(doc, "metadata", "Title"));
    EXPECT_EQ("<missing>", Read(doc, "metadata", "type"));
    EXPECT_EQ("<missing>", Read(doc, "userdata", "title"));
}

TEST(KSinidoc, ValueIsTheTrimmedTextAfterTheFirstEquals) {
    IniDocument doc("[s]\n"
                    "  a  =  b = c  \t\n"
                    "empty=\n"
                    "blanks=   \n"
                    "dq=\"  quoted  \"\n"
                    "sq='x'\n"
                    "twice=\"\"x\"\"\n"
                    "odd=\"x'\n"
                    "lone=\"\n"
                    "inner=a\"b\"\n");
    EXPECT_EQ("b = c", Read(doc, "s", "a"));
    EXPECT_EQ("", Read(doc, "s", "empty"));
    EXPECT_EQ("", Read(doc, "s", "blanks"));
    EXPECT_EQ("  quoted  ", Read(doc, "s", "dq"));
    EXPECT_EQ("x", Read(doc, "s", "sq"));
    EXPECT_EQ("\"x\"", Read(doc, "s", "twice")); // only one pair goes
    EXPECT_EQ("\"x'", Read(doc, "s", "odd"));
    EXPECT_EQ("\"", Read(doc, "s", "lone"));
    EXPECT_EQ("a\"b\"", Read(doc, "s", "inner"));
    // Names asked for are trimmed as well.
    EXPECT_EQ("b = c", Read(doc, " s ", " a "));
}

TEST(KSinidoc, LinesThatAreNoKeys) {
    IniDocument doc("orphan=before any section\n"
                    "[s]\n"
                    "no equals sign\n"
                    ";comment=1\n"
                    "=no name\n"
                    "[ spaced ] trailing\n"
                    "k=2\n"
                    "[a]b]\n"
                    "k=3\n"
                    "[unclosed=4\n");
    EXPECT_EQ("<missing>", Read(doc, "", "orphan"));
    EXPECT_EQ("<missing>", Read(doc, "s", "no equals sign"));
    EXPECT_EQ("<missing>", Read(doc, "s", ";comment"));
    EXPECT_FALSE(doc.KeyListed("s", ""));
    EXPECT_EQ("2", Read(doc, "spaced", "k"));
    EXPECT_EQ("3", Read(doc, "a]b", "k"));
    // Without a "]" the line is an ordinary key line of the section above.
    EXPECT_EQ("4", Read(doc, "a]b", "[unclosed"));
}

TEST(KSinidoc, FirstOccurrenceOfSectionAndKeyCounts) {
    IniDocument doc("[s]\nk=first\nk=second\n[t]\nx=1\n[S]\nk=third\nonly=later\n");
    EXPECT_EQ("first", Read(doc, "s", "k"));
    EXPECT_EQ("<missing>", Read(doc, "s", "only"));
}

TEST(KSinidoc, LongValuesAreCutAt2047Bytes) {
    std::string longValue(3000, 'x');
    longValue[2046] = 'L';
    longValue[2047] = 'X';
    std::string exact(2047, 'e');
    IniDocument doc("[s]\nlong=" + longValue + "\nquoted=\"" + exact + "\"\nqlong=\"" + longValue +
                    "\"\n");
    std::string read = Read(doc, "s", "long");
    ASSERT_EQ(2047u, read.size());
    EXPECT_EQ('L', read.back());
    EXPECT_EQ(exact, Read(doc, "s", "quoted"));
    // The opening quote goes first; the closing one lies beyond the cut.
    EXPECT_EQ(longValue.substr(0, 2047), Read(doc, "s", "qlong"));
}

TEST(KSinidoc, KeyNamesAreListedInto16384Bytes) {
    // 163 names of 99 bytes take 163 * 100 = 16300 bytes with their NULs; with
    // the closing NUL, 83 bytes are left: room for a name of 82 bytes.
    std::string text = "[s]\n";
    for (int i = 0; i < 163; ++i) {
        std::string name = std::to_string(1000 + i) + std::string(95, 'n');
        text += name + "=v\n";
    }
    IniDocument fits(text + std::string(82, 'f') + "=v\nshort=v\n");
    EXPECT_TRUE(fits.KeyListed("s", "1000" + std::string(95, 'n')));
    EXPECT_TRUE(fits.KeyListed("s", "1162" + std::string(95, 'n')));
    EXPECT_TRUE(fits.KeyListed("s", std::string(82, 'F')));
    EXPECT_FALSE(fits.KeyListed("s", "short")); // the list is full

    IniDocument cut(text + std::string(83, 'f') + "=v\nshort=v\n");
    EXPECT_FALSE(cut.KeyListed("s", std::string(83, 'f')));
    // A name cut in the list is not taken for a shorter one.
    EXPECT_FALSE(cut.KeyListed("s", std::string(81, 'f')));
    EXPECT_FALSE(cut.KeyListed("s", "short"));
    // Reading a value is not limited by the list.
    EXPECT_EQ("v", Read(cut, "s", "short"));
}

TEST(KSinidoc, ReplacingAValueKeepsEveryOtherByte) {
    EXPECT_EQ("head\r\n[s]\n  key = new\r\nx=1",
              Written("head\r\n[s]\n  key = old value \r\nx=1", "S", "KEY", "new"));
    // The last line keeps its missing line break.
    EXPECT_EQ("[s]\r\nk=2", Written("[s]\r\nk=1", "s", "k", "2"));
    EXPECT_EQ("[s]\nk=   x\n", Written("[s]\nk=   \n", "s", "k", "x"));
    EXPECT_EQ("<same>", Written("[s]\nk=same\n", "s", "k", "same"));
    EXPECT_EQ("[s]\nk=\n", Written("[s]\nk=x\n", "s", "k", ""));
}

TEST(KSinidoc, NewKeyGoesAfterTheLastLineOfItsSection) {
    EXPECT_EQ("[a]\r\nk=1\r\nn=2\r\n\r\n[b]\r\nz=0\r\n",
              Written("[a]\r\nk=1\r\n\r\n[b]\r\nz=0\r\n", "a", "n", "2"));
    EXPECT_EQ("[a]\nk=1\nn=2", Written("[a]\nk=1", "a", "n", "2"));
    EXPECT_EQ("[a]\r\nn=2", Written("[a]", "a", "n", "2"));
    EXPECT_EQ("[a]\r\nn=2\r\n[b]\r\n", Written("[a]\r\n[b]\r\n", "a", "n", "2"));
    // Most lines end in LF, so the new one does too.
    EXPECT_EQ("[a]\nk=1\r\nx=1\ny=1\nn=2\n", Written("[a]\nk=1\r\nx=1\ny=1\n", "a", "n", "2"));
}

TEST(KSinidoc, NewSectionGoesAtTheEndOrBeforeIndexData) {
    EXPECT_EQ("[s]\r\nk=v\r\n", Written("", "s", "k", "v"));
    EXPECT_EQ("[a]\nx=1\n\n[s]\nk=v\n\n\n", Written("[a]\nx=1\n\n\n", "s", "k", "v"));
    EXPECT_EQ("[a]\r\nx=1\r\n\r\n[s]\r\nk=v", Written("[a]\r\nx=1", "s", "k", "v"));
    EXPECT_EQ("[KESTRIN]\r\ntype=htx\r\n\r\n[metadata]\r\ntitle=T\r\n\r\n"
              "[indexdata]\r\nJansen\tPiet=1\r\n",
              Written("[KESTRIN]\r\ntype=htx\r\n\r\n[indexdata]\r\nJansen\tPiet=1\r\n", "metadata",
                      "title", "T"));
    EXPECT_EQ("[K]\r\na=1\r\n\r\n[metadata]\r\ntitle=T\r\n\r\n[IndexData]\r\nx\r\n",
              Written("[K]\r\na=1\r\n[IndexData]\r\nx\r\n", "metadata", "title", "T"));
    EXPECT_EQ("[metadata]\r\ntitle=T\r\n\r\n[indexdata]\r\n",
              Written("[indexdata]\r\n", "metadata", "title", "T"));
}

TEST(KSinidoc, WritesThatCannotBeOneLineAreRefused) {
    const std::string text = "[s]\nk=1\n";
    EXPECT_EQ("<refused>", Written(text, "s", "a=b", "v"));
    EXPECT_EQ("<refused>", Written(text, "s", "", "v"));
    EXPECT_EQ("<refused>", Written(text, "s", "[x]", "v"));
    EXPECT_EQ("<refused>", Written(text, "s", ";x", "v"));
    EXPECT_EQ("<refused>", Written(text, "s", "k", "two\nlines"));
    EXPECT_EQ("<refused>", Written(text, "s", "k", "cr\ronly"));
    EXPECT_EQ("<refused>", Written(text, "a\nb", "k", "v"));
    EXPECT_EQ("<refused>", Written(text, " ", "k", "v"));
}

TEST(KSinidoc, ReadsFollowTheDocumentsOwnWrites) {
    IniDocument doc("[a]\nk=1\n[indexdata]\nline\n");
    for (auto [section, key, value] :
         {std::tuple{"a", "k", "2"}, std::tuple{"a", "n", "3"}, std::tuple{"b", "m", "4"}}) {
        IniDocument::Edit edit;
        ASSERT_EQ(IniDocument::PlanResult::Change, doc.PlanWrite(section, key, value, edit));
        doc.Apply(edit);
    }
    EXPECT_EQ("2", Read(doc, "a", "k"));
    EXPECT_EQ("3", Read(doc, "a", "n"));
    EXPECT_EQ("4", Read(doc, "b", "m"));
    EXPECT_TRUE(doc.KeyListed("B", "M"));
}

TEST(KSinidoc, IndexLinesDoNotDisturbTheHeader) {
    std::string text = "\xEF\xBB\xBF[KESTRIN]\ntype=htx\n[metadata]\ntitle=T\n[indexdata]\n";
    for (int i = 0; i < 1000; ++i)
        text += "Naam=" + std::to_string(i) + "\t[x\tA=B\n";
    IniDocument doc(text);
    EXPECT_EQ("htx", Read(doc, "KESTRIN", "type")); // after the byte order mark
    EXPECT_EQ("T", Read(doc, "metadata", "title"));
    EXPECT_EQ("<missing>", Read(doc, "metadata", "Naam"));
}

TEST(KSinidoc, BinaryGarbageAndHugeLinesAreHarmless) {
    std::string nul("[s]\nk=a\0b\xFF\xFE\x81\n", 13);
    IniDocument withNul(nul);
    EXPECT_EQ(std::string("a\0b\xFF\xFE\x81", 6), Read(withNul, "s", "k"));

    std::string huge = "[s]\nk=" + std::string(10 * 1024 * 1024, 'y') + "\nz=1";
    IniDocument big(huge);
    EXPECT_EQ(2047u, Read(big, "s", "k").size());
    EXPECT_EQ("1", Read(big, "s", "z"));

    // Many lines that open a section but never close it must not cost a
    // search back through the file per line.
    std::string brackets;
    for (int i = 0; i < 200000; ++i)
        brackets += "[ab\n";
    IniDocument open(brackets);
    EXPECT_EQ("<missing>", Read(open, "ab", "x"));
}

std::string TrimForTest(const std::string& s) {
    const char* blanks = " \t\r\n\v\f";
    std::size_t first = s.find_first_not_of(blanks);
    if (first == std::string::npos) return "";
    return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

// The value a reader should see after writing raw.
std::string ExpectedRead(const std::string& raw) {
    std::string v = TrimForTest(raw);
    if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0])
        v = v.substr(1, v.size() - 2);
    return v.substr(0, 2047);
}

TEST(KSinidoc, RandomInputNeverCrashesAndWritesReadBack) {
    std::mt19937 random(20190228);
    const std::vector<std::string> pieces = {
        "[",    "]",   "=", "\n", "\r\n", "\r", " ", "\t",
        ";",    "\"",  "'", "a",  "B",    "s",  "k", std::string(1, '\0'),
        "\xFF", "\xE9"};
    const std::vector<std::string> names = {"s", "S", "k", "a", "B", " s", "indexdata", "\xE9"};
    auto start = std::chrono::steady_clock::now();
    int changes = 0;
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        int length = static_cast<int>(random() % 400);
        for (int i = 0; i < length; ++i) {
            if (random() % 3 == 0) {
                text += static_cast<char>(random() % 256);
            } else {
                text += pieces[random() % pieces.size()];
            }
        }
        IniDocument doc(text);
        std::vector<std::pair<std::string, std::string>> probes;
        for (const auto& section : names)
            for (const auto& key : names)
                probes.emplace_back(section, key);
        std::vector<std::optional<std::string>> before;
        for (const auto& [section, key] : probes) {
            before.push_back(doc.ReadValue(section, key));
            if (before.back()) {
                EXPECT_LE(before.back()->size(), 2047u);
            }
            doc.KeyListed(section, key);
        }
        const std::string& section = names[random() % names.size()];
        const std::string& key = names[random() % names.size()];
        std::string value;
        for (int i = static_cast<int>(random() % 12); i > 0; --i)
            value += pieces[random() % pieces.size()];
        IniDocument::Edit edit;
        IniDocument::PlanResult result = doc.PlanWrite(section, key, value, edit);
        if (result != IniDocument::PlanResult::Change) continue;
        ++changes;
        doc.Apply(edit);
        for (std::size_t i = 0; i < probes.size(); ++i) {
            const auto& [s, k] = probes[i];
            bool writtenOne = SameNameNoCase(TrimForTest(s), TrimForTest(section)) &&
                              SameNameNoCase(TrimForTest(k), TrimForTest(key));
            if (!writtenOne) {
                EXPECT_EQ(before[i], doc.ReadValue(s, k)) << "text: " << text;
            }
        }
        EXPECT_EQ(ExpectedRead(value), doc.ReadValue(section, key).value_or("<missing>"))
            << "text: " << text << " value: " << value;
    }
    EXPECT_GT(changes, 100); // the writes were really exercised
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

// Serves a text in small chunks, optionally failing after some of them.
class ChunkedSource : public IniSource {
public:
    ChunkedSource(std::string text, std::size_t chunk, std::size_t* served,
                  std::size_t failAfter = std::string::npos)
        : text_(std::move(text)), chunk_(chunk), served_(served), failAfter_(failAfter) {}
    bool ReadMore(std::string& text) override {
        if (*served_ >= failAfter_) {
            failed_ = true;
            return false;
        }
        if (*served_ >= text_.size()) return false;
        std::size_t n = std::min(chunk_, text_.size() - *served_);
        text.append(text_, *served_, n);
        *served_ += n;
        return true;
    }
    bool Failed() const override { return failed_; }

private:
    std::string text_;
    std::size_t chunk_;
    std::size_t* served_;
    std::size_t failAfter_;
    bool failed_ = false;
};

TEST(KSinidoc, OnlyAsMuchIsReadAsTheSectionsAskedForNeed) {
    std::string text = "[KESTRIN]\r\ntype=htx\r\n[metadata]\r\ntitle=T\r\n[indexdata]\r\n";
    const std::size_t header = text.size();
    for (int i = 0; i < 20000; ++i)
        text += "Naam\tVoornaam\t" + std::to_string(i) + "\r\n";
    std::size_t served = 0;
    IniDocument doc(std::make_unique<ChunkedSource>(text, 7, &served));
    EXPECT_EQ("htx", Read(doc, "kestrin", "type"));
    EXPECT_EQ("T", Read(doc, "metadata", "title"));
    EXPECT_EQ("<missing>", Read(doc, "metadata", "datafile"));
    EXPECT_LE(served, header + 7); // up to the line after "[indexdata]" at most

    EXPECT_EQ("<missing>", Read(doc, "userdata", "usernr")); // a missing section reads all
    EXPECT_EQ(text.size(), served);
    EXPECT_TRUE(doc.LoadAll());
    EXPECT_EQ(text, doc.Text());
}

TEST(KSinidoc, AFileThatFailsToReadIsNeverWrittenBack) {
    const std::string text = "[a]\nk=1\n[b]\nk=2\n[c]\nk=3\n";
    std::size_t served = 0;
    IniDocument doc(std::make_unique<ChunkedSource>(text, 4, &served, 12));
    EXPECT_EQ("1", Read(doc, "a", "k"));
    EXPECT_EQ("<missing>", Read(doc, "c", "k"));
    IniDocument::Edit edit;
    EXPECT_EQ(IniDocument::PlanResult::Refused, doc.PlanWrite("a", "k", "9", edit));
    EXPECT_FALSE(doc.LoadAll());
}

} // namespace
} // namespace ks
