#include "tests/support.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ftw.h>
#include <random>
#include <thread>

namespace {

int RemoveOne(const char *path, const struct stat *, int, struct FTW *)
{
    return remove(path);
}

}  // namespace

void ScratchTest::SetUp()
{
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    home_ = cwd;
    const char *tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr ? tmp : "/tmp") + "/bmp2spr-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    ASSERT_EQ(chdir(dir_.c_str()), 0);
}

void ScratchTest::TearDown()
{
    ASSERT_EQ(chdir(home_.c_str()), 0);
    nftw(dir_.c_str(), RemoveOne, 16, FTW_DEPTH | FTW_PHYS);
}

std::string Bytes(std::size_t n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::string s(n, '\0');
    for (char &c : s)
        c = static_cast<char>(rng() & 0xFF);
    return s;
}

void WriteFile(const std::string &name, const std::string &bytes)
{
    std::FILE *f = std::fopen(name.c_str(), "wb");
    ASSERT_NE(f, nullptr) << name;
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
    ASSERT_EQ(std::fclose(f), 0);
}

std::string ReadFile(const std::string &name)
{
    std::string s;
    std::FILE *f = std::fopen(name.c_str(), "rb");
    if (f == nullptr)
        return "<missing>";
    char buf[65536];
    std::size_t got;
    while ((got = std::fread(buf, 1, sizeof buf, f)) > 0)
        s.append(buf, got);
    std::fclose(f);
    return s;
}

bool Exists(const std::string &name)
{
    struct stat st;
    return lstat(name.c_str(), &st) == 0;
}

void MakeSparse(const std::string &name, unsigned long long size)
{
    int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, static_cast<off_t>(size)), 0);
    ASSERT_EQ(close(fd), 0);
}

std::set<std::string> ListDir(const std::string &dir)
{
    std::set<std::string> names;
    DIR *d = opendir(dir.c_str());
    if (d == nullptr)
        return names;
    while (struct dirent *e = readdir(d)) {
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
            names.insert(e->d_name);
    }
    closedir(d);
    return names;
}

std::string ExpectedSpr(const std::string &source)
{
    std::string out = "GXXBKI";
    for (char c : source)
        out.push_back(static_cast<char>(static_cast<unsigned char>(c) ^ 0xA7));
    return out;
}

WIN32_FIND_DATAA Entry(const std::string &name, unsigned long long size)
{
    WIN32_FIND_DATAA e;
    std::memset(&e, 0, sizeof e);
    std::snprintf(e.cFileName, sizeof e.cFileName, "%s", name.c_str());
    e.dwFileAttributes = FILE_ATTRIBUTE_NORMAL;
    e.nFileSizeHigh = static_cast<DWORD>(size >> 32);
    e.nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFULL);
    return e;
}

int RunInChild(const std::function<int()> &fn, int limitSeconds)
{
    std::fflush(nullptr);
    pid_t pid = fork();
    if (pid < 0)
        return -1;
    if (pid == 0)
        _exit(fn());
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(limitSeconds);
    int status = 0;
    for (;;) {
        pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid)
            break;
        if (r < 0 && errno != EINTR)
            return -1;
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

#if defined(__SANITIZE_ADDRESS__)
// Lets an allocation the tests make impossible fail as malloc would, instead
// of aborting the process.
extern "C" const char *__asan_default_options()
{
    return "allocator_may_return_null=1:max_allocation_size_mb=256";
}
#endif
