#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/support.h"

namespace {

const std::string Caption = "[VEK] BMP -> SPR 변환툴: ";
const std::string NoFiles = Caption + "변환된 파일이 없습니다.\n";

std::string Converted(int n)
{
    return Caption + std::to_string(n) + " 개의 파일이 변환되었습니다.\n";
}

struct Outcome {
    int status;
    std::string output;
};

// Runs the built program in the current folder; status -1 when it did not
// exit by itself within the limit. With closedOutput, nobody reads what it
// writes.
Outcome RunProgram(const std::vector<std::string> &args, bool closedOutput = false)
{
    Outcome result{-1, ""};
    int fds[2];
    if (pipe(fds) != 0)
        return result;
    std::fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        close(fds[1]);
        std::vector<char *> argv{const_cast<char *>(BMP2SPR_EXE)};
        for (const std::string &a : args)
            argv.push_back(const_cast<char *>(a.c_str()));
        argv.push_back(nullptr);
        execv(BMP2SPR_EXE, argv.data());
        _exit(127);
    }
    close(fds[1]);
    if (closedOutput)
        close(fds[0]);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!closedOutput) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        struct pollfd p = {fds[0], POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left.count())) <= 0)
            break;
        char buf[4096];
        ssize_t got = read(fds[0], buf, sizeof buf);
        if (got <= 0)
            break;
        result.output.append(buf, static_cast<std::size_t>(got));
    }
    if (!closedOutput)
        close(fds[0]);
    // Its output ends as it exits; give the exit itself the rest of the limit.
    int status = 0;
    pid_t done;
    while ((done = waitpid(pid, &status, WNOHANG)) == 0 &&
           std::chrono::steady_clock::now() < deadline)
        usleep(1000);
    if (done != pid) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        return result;
    }
    if (WIFEXITED(status))
        result.status = WEXITSTATUS(status);
    return result;
}

struct RunCase {
    const char *label;
    std::function<void()> prepare;
    std::string message;
    std::map<std::string, std::string> made;  // SPR file -> its source
};

class ProgramRun : public ScratchTest, public ::testing::WithParamInterface<RunCase>
{
};

TEST_P(ProgramRun, ConvertsTheFolderAndSaysHowManyFiles)
{
    const RunCase &c = GetParam();
    c.prepare();
    std::set<std::string> before = ListDir();
    std::map<std::string, std::string> sources;
    for (const auto &m : c.made)
        sources[m.second] = ReadFile(m.second);

    // Arguments are no business of the program's.
    Outcome run = RunProgram({"--ignored", "*.txt"});

    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, c.message);
    std::set<std::string> after = before;
    for (const auto &m : c.made) {
        after.insert(m.first);
        EXPECT_EQ(ReadFile(m.first), ExpectedSpr(sources[m.second])) << m.first;
    }
    EXPECT_EQ(ListDir(), after);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, ProgramRun,
    ::testing::Values(
        RunCase{"NoBmp", [] { WriteFile("notes.txt", "x"); }, NoFiles, {}},
        RunCase{"ThreeFiles",
                [] {
                    WriteFile("one.bmp", Bytes(1000, 1));
                    WriteFile("two.bmp", Bytes(70, 2));
                    WriteFile("three.bmp", "");
                },
                Converted(3),
                {{"one.spr", "one.bmp"}, {"two.spr", "two.bmp"}, {"three.spr", "three.bmp"}}},
        RunCase{"OnlyFailures",
                [] {
                    WriteFile(".bmp", "four");
                    mkdir("dir.bmp", 0755);
                    mkfifo("pipe.bmp", 0644);
                    symlink("nowhere", "gone.bmp");
                    MakeSparse("huge.bmp", (1ULL << 32) + 1);
                },
                NoFiles,
                {}},
        RunCase{"MixedCase",
                [] {
                    WriteFile("UPPER.BMP", Bytes(33, 3));
                    WriteFile("Mixed.Bmp", Bytes(44, 4));
                },
                Converted(2),
                {{"UPPER.spr", "UPPER.BMP"}, {"Mixed.spr", "Mixed.Bmp"}}},
        RunCase{"EarlierSprFilesAreNotPickedUp",
                [] {
                    WriteFile("a.bmp", Bytes(10, 5));
                    WriteFile("a.spr", "from an earlier run");
                    WriteFile("lonely.spr", "stays");
                },
                Converted(1),
                {{"a.spr", "a.bmp"}}}),
    [](const auto &p) { return std::string(p.param.label); });

TEST_F(ScratchTest, ASecondRunReplacesTheFirstRunsFiles)
{
    WriteFile("a.bmp", Bytes(10, 6));
    ASSERT_EQ(RunProgram({}).output, Converted(1));
    WriteFile("a.bmp", Bytes(20, 7));
    ASSERT_EQ(RunProgram({}).output, Converted(1));
    EXPECT_EQ(ReadFile("a.spr"), ExpectedSpr(Bytes(20, 7)));
}

TEST_F(ScratchTest, ThousandsOfFilesAreEachConvertedOnce)
{
    // Its own new files must not upset the listing it is walking.
    const int files = 3000;
    for (int i = 0; i < files; i++)
        WriteFile("f" + std::to_string(i) + ".bmp", std::to_string(i));

    ASSERT_EQ(RunProgram({}).output, Converted(files));

    for (int i = 0; i < files; i++)
        ASSERT_EQ(ReadFile("f" + std::to_string(i) + ".spr"), ExpectedSpr(std::to_string(i)));
    EXPECT_EQ(ListDir().size(), 2U * files);
}

TEST_F(ScratchTest, NobodyReadingTheMessageStillExitsWithZero)
{
    WriteFile("a.bmp", "abc");
    EXPECT_EQ(RunProgram({}, true).status, 0);
    EXPECT_EQ(ReadFile("a.spr"), ExpectedSpr("abc"));
}

}  // namespace
