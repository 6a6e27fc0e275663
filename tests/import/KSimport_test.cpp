#include "import/KSimport.h"

#include "common/KSerrors.h"
#include "common/KSlockedFolder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace ks {
namespace {

// Both front ends import through here: a link pattern that is no relative
// path or http(s) address is refused before anything is read or written,
// whatever the name list.
TEST(Import, LinkPatternsFollowTheRuleOfGendexPages) {
    const std::pair<const char*, bool> cases[] = {{"{id}.htm", true},
                                                  {"HTTPS://example.org/p?pid={id}", true},
                                                  {"javascript:x({id})", false},
                                                  {"//evil.example/{id}", false},
                                                  {"/tree/{id}.htm", false},
                                                  {"mailto:{given}@example.org", false}};
    test::TempDir dir;
    const std::string source = dir.file("a.ged");
    test::WriteFileBytes(source, "0 HEAD\n0 @I1@ INDI\n1 NAME A /B/\n1 DEAT Y\n0 TRLR\n");
    test::WriteFileBytes(dir.file("gendex.txt"), "p.htm|B|A /B/||||x|\n");
    for (const auto& [pattern, usable] : cases)
        for (const std::string& list : {source, dir.file("gendex.txt")}) {
            SCOPED_TRACE(pattern + (" " + list));
            TKSimportRequest request;
            request.Source = list, request.LinkPattern = pattern;
            std::filesystem::remove(ImportDocumentPath(request));
            if (usable) {
                EXPECT_NO_THROW(ImportNameList(request));
            } else {
                EXPECT_THROW(ImportNameList(request), EKSError);
                EXPECT_FALSE(std::filesystem::exists(ImportDocumentPath(request)));
            }
        }
}

// The folder of an import's run files is removed by the next import when
// the import that made it was killed; that of an import still going stays.
TEST(Import, RemovesTheRunFilesOfAKilledImport) {
    test::TempDir dir;
    const std::string temp = dir.file("temp");
    std::filesystem::create_directory(temp);
    std::filesystem::permissions(temp, std::filesystem::perms::owner_all);
    File held, killed;
    const std::string going = MakeLockedFolder(temp, "import-", held);
    const std::string left = MakeLockedFolder(temp, "import-", killed);
    test::WriteFileBytes(left + "persons-1.tmp", "A\tB\n0\n\n");
    killed.Close();
    test::WriteFileBytes(dir.file("gendex.txt"), "p.htm|B|A /B/||||x|\n");
    TKSimportRequest request;
    request.Source = dir.file("gendex.txt");
    request.TempFolder = temp;
    ImportNameList(request);
    EXPECT_TRUE(std::filesystem::exists(going));
    EXPECT_FALSE(std::filesystem::exists(left));
}

} // namespace
} // namespace ks
