#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <string>

#include "tests/support.h"

namespace {

class SearchTest : public ScratchTest
{
};

struct Listed {
    DWORD attributes;
    DWORD high;
    DWORD low;
    bool operator==(const Listed &o) const
    {
        return attributes == o.attributes && high == o.high && low == o.low;
    }
};

void PrintTo(const Listed &l, std::ostream *os)
{
    *os << "{attr " << l.attributes << ", size " << l.high << ":" << l.low << "}";
}

// Everything the search yields, by name; a name yielded twice fails.
std::map<std::string, Listed> SearchAll(const char *pattern)
{
    std::map<std::string, Listed> found;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(pattern, &entry);
    if (search == INVALID_HANDLE_VALUE)
        return found;
    do {
        bool fresh = found
                         .emplace(entry.cFileName, Listed{entry.dwFileAttributes,
                                                          entry.nFileSizeHigh, entry.nFileSizeLow})
                         .second;
        EXPECT_TRUE(fresh) << entry.cFileName;
    } while (FindNextFileA(search, &entry));
    EXPECT_FALSE(FindNextFileA(search, &entry));
    EXPECT_TRUE(FindClose(search));
    return found;
}

TEST_F(SearchTest, ListsEveryKindOfEntryEndingInBmpWithoutRegardToCase)
{
    WriteFile("a.bmp", "12345");
    WriteFile("B.BMP", "");
    WriteFile("c.Bmp", "xy");
    WriteFile(".hidden.bmp", "h");
    WriteFile(".bmp", "four");
    ASSERT_EQ(mkdir("dir.bmp", 0755), 0);
    ASSERT_EQ(mkfifo("pipe.bmp", 0644), 0);
    ASSERT_EQ(symlink("a.bmp", "link.bmp"), 0);
    ASSERT_EQ(symlink("nowhere", "dangling.bmp"), 0);
    MakeSparse("huge.bmp", (1ULL << 32) + 10);
    for (const char *other : {"x.spr", "x.bmpx", "bmp", "xbmp.txt", "x.bm"})
        WriteFile(other, "no");

    std::map<std::string, Listed> expected = {
        {"a.bmp", {FILE_ATTRIBUTE_NORMAL, 0, 5}},
        {"B.BMP", {FILE_ATTRIBUTE_NORMAL, 0, 0}},
        {"c.Bmp", {FILE_ATTRIBUTE_NORMAL, 0, 2}},
        {".hidden.bmp", {FILE_ATTRIBUTE_NORMAL, 0, 1}},
        {".bmp", {FILE_ATTRIBUTE_NORMAL, 0, 4}},
        {"dir.bmp", {FILE_ATTRIBUTE_DIRECTORY, 0, 4096}},
        {"pipe.bmp", {FILE_ATTRIBUTE_DEVICE, 0, 0}},
        {"link.bmp", {FILE_ATTRIBUTE_NORMAL, 0, 5}},
        {"dangling.bmp", {FILE_ATTRIBUTE_NORMAL, 0, 0}},
        {"huge.bmp", {FILE_ATTRIBUTE_NORMAL, 1, 10}},
    };
    std::map<std::string, Listed> found = SearchAll("*.bmp");
    // A directory's size is the file system's business.
    ASSERT_TRUE(found.count("dir.bmp"));
    found["dir.bmp"].low = 4096;
    found["dir.bmp"].high = 0;
    EXPECT_EQ(found, expected);
}

TEST_F(SearchTest, NothingToListGivesNoHandle)
{
    WriteFile("a.spr", "x");
    WIN32_FIND_DATAA entry;
    EXPECT_EQ(FindFirstFileA("*.bmp", &entry), INVALID_HANDLE_VALUE);
}

TEST_F(SearchTest, AFolderThatCannotBeSearchedGivesNoHandle)
{
    ASSERT_EQ(mkdir("gone", 0755), 0);
    ASSERT_EQ(chdir("gone"), 0);
    ASSERT_EQ(rmdir("../gone"), 0);
    WIN32_FIND_DATAA entry;
    EXPECT_EQ(FindFirstFileA("*.bmp", &entry), INVALID_HANDLE_VALUE);
}

}  // namespace
