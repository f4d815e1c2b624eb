#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>

#include "spr/convert.h"
#include "tests/support.h"

namespace {

// What a folder holds, by name: the bytes of small files, the size of big
// ones, the kind of everything else.
std::map<std::string, std::string> Snapshot()
{
    std::map<std::string, std::string> shot;
    for (const std::string &name : ListDir()) {
        struct stat st;
        if (lstat(name.c_str(), &st) != 0)
            continue;
        if (S_ISREG(st.st_mode))
            shot[name] =
                st.st_size <= (1 << 20) ? ReadFile(name) : "size " + std::to_string(st.st_size);
        else if (S_ISLNK(st.st_mode))
            shot[name] = "link";
        else
            shot[name] = "other";
    }
    return shot;
}

int ConvertOne(const WIN32_FIND_DATAA &entry)
{
    ConvertedCount = 0;
    ConvertFile(&entry);
    return ConvertedCount;
}

// The entry that the real search lists under this name.
WIN32_FIND_DATAA ListedEntry(const std::string &name)
{
    WIN32_FIND_DATAA entry;
    std::memset(&entry, 0, sizeof entry);
    HANDLE search = FindFirstFileA("*.bmp", &entry);
    EXPECT_NE(search, INVALID_HANDLE_VALUE);
    if (search == INVALID_HANDLE_VALUE)
        return entry;
    while (name != entry.cFileName && FindNextFileA(search, &entry)) {
    }
    EXPECT_EQ(name, entry.cFileName);
    FindClose(search);
    return entry;
}

class ConvertFileTest : public ScratchTest
{
};

struct NameCase {
    const char *label;
    const char *source;
    const char *target;
};

class ConvertNames : public ScratchTest, public ::testing::WithParamInterface<NameCase>
{
};

TEST_P(ConvertNames, WritesTheTargetBesideTheSource)
{
    const NameCase &c = GetParam();
    std::string content = Bytes(777, 5);
    WriteFile(c.source, content);

    ASSERT_EQ(ConvertOne(Entry(c.source, content.size())), 1);

    EXPECT_EQ(ReadFile(c.target), ExpectedSpr(content));
    EXPECT_EQ(ReadFile(c.source), content);
    EXPECT_EQ(ListDir(), (std::set<std::string>{c.source, c.target}));
}

INSTANTIATE_TEST_SUITE_P(
    Names, ConvertNames,
    ::testing::Values(NameCase{"Shortest", "a.bmp", "a.spr"},
                      NameCase{"CapitalsKeepTheirCase", "Photo.BMP", "Photo.spr"},
                      NameCase{"MixedCaseExtension", "x.Bmp", "x.spr"},
                      NameCase{"TwoDots", "x.y.bmp", "x.y.spr"},
                      NameCase{"Spaces", "my photo .bmp", "my photo .spr"},
                      NameCase{"HiddenFile", ".sprite.bmp", ".sprite.spr"},
                      NameCase{"Utf8Bytes", "\xEC\x82\xAC\xEC\xA7\x84.bmp",
                               "\xEC\x82\xAC\xEC\xA7\x84.spr"},
                      NameCase{"Cp949Bytes", "\xBB\xE7\xC1\xF8.bmp", "\xBB\xE7\xC1\xF8.spr"}),
    [](const auto &p) { return std::string(p.param.label); });

TEST_F(ConvertFileTest, ReplacesAnEarlierTargetWithAPlainCreatesPermissions)
{
    std::string content = Bytes(100, 9);
    WriteFile("a.bmp", content);
    WriteFile("a.spr", std::string(5000, 'x'));
    ASSERT_EQ(chmod("a.spr", 0600), 0);
    mode_t old = umask(027);

    int converted = ConvertOne(Entry("a.bmp", content.size()));
    umask(old);

    ASSERT_EQ(converted, 1);
    EXPECT_EQ(ReadFile("a.spr"), ExpectedSpr(content));
    struct stat st;
    ASSERT_EQ(stat("a.spr", &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640U);
    EXPECT_EQ(ListDir(), (std::set<std::string>{"a.bmp", "a.spr"}));
}

TEST_F(ConvertFileTest, ReplacesALinkedTargetAndLeavesWhatItLinksTo)
{
    std::string content = Bytes(64, 2);
    WriteFile("a.bmp", content);
    WriteFile("b.bmp", content);
    ASSERT_EQ(mkdir("outside", 0755), 0);
    WriteFile("outside/victim", "keep me");
    ASSERT_EQ(symlink("outside/victim", "a.spr"), 0);
    WriteFile("keep.txt", "keep me too");
    ASSERT_EQ(link("keep.txt", "b.spr"), 0);

    EXPECT_EQ(ConvertOne(Entry("a.bmp", content.size())), 1);
    EXPECT_EQ(ConvertOne(Entry("b.bmp", content.size())), 1);

    struct stat st;
    ASSERT_EQ(lstat("a.spr", &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(ReadFile("a.spr"), ExpectedSpr(content));
    EXPECT_EQ(ReadFile("outside/victim"), "keep me");
    EXPECT_EQ(ReadFile("b.spr"), ExpectedSpr(content));
    EXPECT_EQ(ReadFile("keep.txt"), "keep me too");
}

TEST_F(ConvertFileTest, ReadsOnlyTheListedSize)
{
    std::string content = Bytes(100, 4);
    WriteFile("a.bmp", content);

    ASSERT_EQ(ConvertOne(Entry("a.bmp", 60)), 1);

    EXPECT_EQ(ReadFile("a.spr"), ExpectedSpr(content.substr(0, 60)));
}

TEST_F(ConvertFileTest, EmptySourceGivesTheMagicAlone)
{
    WriteFile("e.bmp", "");
    ASSERT_EQ(ConvertOne(Entry("e.bmp", 0)), 1);
    EXPECT_EQ(ReadFile("e.spr"), "GXXBKI");
}

TEST_F(ConvertFileTest, NoEntryDoesNothing)
{
    ConvertedCount = 0;
    ConvertFile(nullptr);
    EXPECT_EQ(ConvertedCount, 0);
    EXPECT_TRUE(ListDir().empty());
}

// Failures: each runs in a child, with a limit where the case needs one, and
// must leave the folder exactly as it was, earlier SPR included.
struct FailureCase {
    const char *label;
    std::function<WIN32_FIND_DATAA()> prepare;
    std::function<void()> limit;
};

class ConvertFailures : public ScratchTest, public ::testing::WithParamInterface<FailureCase>
{
};

TEST_P(ConvertFailures, CountNothingAndLeaveTheFolderAsItWas)
{
    WriteFile("x.spr", "earlier SPR");
    WIN32_FIND_DATAA entry = GetParam().prepare();
    std::map<std::string, std::string> before = Snapshot();
    const std::function<void()> &limit = GetParam().limit;

    int converted = RunInChild([&] {
        if (limit)
            limit();
        return ConvertOne(entry);
    });

    EXPECT_EQ(converted, 0);
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(ReadFile("x.spr"), "earlier SPR");
}

void LimitFileSize(rlim_t bytes)
{
    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit r = {bytes, bytes};
    if (setrlimit(RLIMIT_FSIZE, &r) != 0)
        _exit(99);
}

// Leaves room for what the process already maps, and no room for a 1 GiB
// buffer. Under AddressSanitizer its own allocation limit does that instead.
void LimitMemory()
{
#if !defined(__SANITIZE_ADDRESS__)
    unsigned long pages = 0;
    std::FILE *f = std::fopen("/proc/self/statm", "r");
    if (f == nullptr || std::fscanf(f, "%lu", &pages) != 1)
        _exit(99);
    std::fclose(f);
    rlim_t bytes = pages * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (256UL << 20);
    struct rlimit r = {bytes, bytes};
    if (setrlimit(RLIMIT_AS, &r) != 0)
        _exit(99);
#endif
}

std::string LongName(std::size_t length)
{
    return std::string(length - 4, 'n') + ".bmp";
}

WIN32_FIND_DATAA SourceOf(std::size_t size, std::size_t listed)
{
    WriteFile("x.bmp", Bytes(size, 11));
    return Entry("x.bmp", listed);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConvertFailures,
    ::testing::Values(FailureCase{"ShortRead", [] { return SourceOf(50, 100); }, nullptr},
                      FailureCase{"MissingSource", [] { return Entry("x.bmp", 10); }, nullptr},
                      FailureCase{"WriteFailsOnWrite", [] { return SourceOf(200000, 200000); },
                                  [] { LimitFileSize(4096); }},
                      FailureCase{"WriteFailsOnClose", [] { return SourceOf(2000, 2000); },
                                  [] { LimitFileSize(1000); }},
                      FailureCase{"NoMemory",
                                  [] {
                                      MakeSparse("x.bmp", 1ULL << 30);
                                      return ListedEntry("x.bmp");
                                  },
                                  LimitMemory},
                      FailureCase{"Directory",
                                  [] {
                                      mkdir("x.bmp", 0755);
                                      return ListedEntry("x.bmp");
                                  },
                                  nullptr},
                      FailureCase{"DirectoryListedAsFile",
                                  [] {
                                      mkdir("x.bmp", 0755);
                                      return Entry("x.bmp", 4096);
                                  },
                                  nullptr},
                      FailureCase{"Fifo",
                                  [] {
                                      mkfifo("x.bmp", 0644);
                                      return ListedEntry("x.bmp");
                                  },
                                  nullptr},
                      FailureCase{"DanglingSymlink",
                                  [] {
                                      symlink("nowhere", "x.bmp");
                                      return ListedEntry("x.bmp");
                                  },
                                  nullptr},
                      FailureCase{"SparseOver4GiB",
                                  [] {
                                      MakeSparse("x.bmp", (1ULL << 32) + 10);
                                      return ListedEntry("x.bmp");
                                  },
                                  nullptr},
                      FailureCase{"ImageSizeOver32Bits",
                                  [] {
                                      MakeSparse("x.bmp", 0xFFFFFFFFULL - 5);
                                      return ListedEntry("x.bmp");
                                  },
                                  nullptr},
                      FailureCase{"FourCharacterName",
                                  [] {
                                      WriteFile(".bmp", "data");
                                      return Entry(".bmp", 4);
                                  },
                                  nullptr},
                      FailureCase{"TargetWouldBeTheSource",
                                  [] {
                                      WriteFile("x.bmpspr", "source");
                                      return Entry("x.bmpspr", 6);
                                  },
                                  nullptr},
                      FailureCase{"NameOf256", [] { return Entry(LongName(256), 10); }, nullptr},
                      FailureCase{"NameOf259", [] { return Entry(LongName(259), 10); }, nullptr},
                      FailureCase{"NameUnterminated",
                                  [] {
                                      WIN32_FIND_DATAA e = Entry("x.bmp", 10);
                                      std::memset(e.cFileName, 'n', sizeof e.cFileName);
                                      return e;
                                  },
                                  nullptr}),
    [](const auto &p) { return std::string(p.param.label); });

}  // namespace
