// Damaged GEDCOM files and GENDEX name lists, made by mutating the fixtures
// at random (seeded, so a failure repeats), for a bounded time per reader:
// every one is read to its end or refused with the program's own error, and
// nothing else (a crash, a sanitizer report, another exception) happens. The
// sanitizer build runs it longer; KS_FUZZ_SECONDS and KS_FUZZ_SEED override
// both.
#include "import/KSgedcomReader.h"
#include "import/KSgendexReader.h"

#include "common/KSerrors.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace ks {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr double kDefaultSeconds = 10;
#else
constexpr double kDefaultSeconds = 2;
#endif

double EnvNumber(const char* name, double fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::atof(value) : fallback;
}

using Tokens = std::vector<std::string>;

// Pieces that steer each reader into its rarer paths.
const Tokens kGedcomTokens = {"\n2 CONC ",
                              "\n2 CONT ",
                              "\n0 TRLR\n",
                              "\n0 @I9@ INDI\n",
                              "\n1 NAME ",
                              "/",
                              "@@",
                              "@#DHEBREW@ ",
                              "@#DFRENCH R@ ",
                              "\xE2",
                              "\xE8\xE9",
                              "\xFF\xFE",
                              "\r",
                              "\n9 ",
                              "\n1 CHAR ANSEL\n",
                              "\n2 DATE BET 1 AND ",
                              "\xED\xA0\x80",
                              std::string(1, '\0')};
const Tokens kGendexTokens = {"|",
                              "||||||||",
                              "\n",
                              "\r\n",
                              "\n# ",
                              "/",
                              " /VAN DER ",
                              "\xEF\xBB\xBF",
                              "\xC3",
                              "\xE2\x80",
                              "\xF0\x9F\x98\x80",
                              "https://",
                              "../",
                              "?",
                              "ABT ",
                              "BET 1 AND ",
                              "@#DJULIAN@ ",
                              "99999999999",
                              std::string(1, '\0')};

std::string Mutate(std::string bytes, const Tokens& tokens, std::mt19937& random) {
    auto pick = [&](std::size_t n) {
        return n == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
    };
    const int steps = 1 + static_cast<int>(pick(8));
    for (int k = 0; k < steps; ++k) {
        const std::size_t at = pick(bytes.size() + 1);
        switch (pick(6)) {
        case 0: // a random byte
            if (at < bytes.size()) bytes[at] = static_cast<char>(pick(256));
            break;
        case 1: // a token
            bytes.insert(at, tokens[pick(tokens.size())]);
            break;
        case 2: // a piece left out
            bytes.erase(at, pick(64));
            break;
        case 3: // a piece repeated
        {
            const std::string piece = bytes.substr(at, pick(128));
            for (std::size_t n = pick(50); n > 0; --n)
                bytes.insert(at, piece);
            break;
        }
        case 4: // cut off
            bytes.resize(at);
            break;
        default: // line ends changed
            if (at < bytes.size() && (bytes[at] == '\n' || bytes[at] == '\r'))
                bytes[at] = bytes[at] == '\n' ? '\r' : '\n';
            break;
        }
    }
    return bytes;
}

using Reader =
    std::function<void(const std::string& path, const std::function<void(TKSimportPerson&)>& take,
                       TKSimportReport& report)>;

struct Target {
    const char* name;
    std::vector<const char*> fixtures; // below tests/data/import/
    const Tokens& tokens;
    Reader read;
};

const TKSgedcomOptions kGedcomOptions{"https://example.org/{id}?n={surname}&g={given}"};

const Target kTargets[] = {
    {"GEDCOM",
     {"ansel-551.ged", "utf16le-555.ged", "utf8-70.ged", "ansi-551.ged"},
     kGedcomTokens,
     [](const std::string& path, const auto& take, TKSimportReport& report) {
         ReadGedcom(path, kGedcomOptions, take, report);
     }},
    {"GENDEX",
     {"capitals/gendex.txt", "tree/gendex.txt"},
     kGendexTokens,
     [](const std::string& path, const auto& take, TKSimportReport& report) {
         ReadGendex(path, take, report);
     }},
};

TEST(ImportReaderFuzz, DamagedFilesAreReadOrRefusedWithAnError) {
    const std::string folder = std::string(KS_TEST_SOURCE_DIR) + "tests/data/import/";
    const auto seed = static_cast<unsigned>(EnvNumber("KS_FUZZ_SEED", 20261209));
    const double seconds = EnvNumber("KS_FUZZ_SECONDS", kDefaultSeconds);
    test::TempDir dir;
    for (const Target& target : kTargets) {
        SCOPED_TRACE(target.name);
        std::vector<std::string> seeds;
        for (const char* name : target.fixtures)
            seeds.push_back(test::ReadFileBytes(folder + name));
        std::mt19937 random(seed);
        const std::string path = dir.file("fuzz.txt");

        const auto start = std::chrono::steady_clock::now();
        long runs = 0, refused = 0;
        while (std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() <
               seconds) {
            const std::string bytes =
                Mutate(seeds[static_cast<std::size_t>(runs) % seeds.size()], target.tokens, random);
            test::WriteFileBytes(path, bytes);
            TKSimportReport report;
            long taken = 0;
            try {
                target.read(
                    path, [&](TKSimportPerson&) { ++taken; }, report);
                EXPECT_EQ(taken, report.PersonsRead) << "seed " << seed << ", run " << runs;
            } catch (const EKSError&) {
                ++refused;
            }
            ++runs;
        }
        EXPECT_GT(runs, 0);
        // Most damage is read past; a run that refuses everything tests little.
        EXPECT_LT(refused, runs);
        RecordProperty(std::string(target.name) + " runs", static_cast<int>(runs));
    }
}

} // namespace
} // namespace ks
