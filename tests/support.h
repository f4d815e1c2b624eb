// Scratch folders, files and child processes for the tests.
#ifndef BMP2SPR_TESTS_SUPPORT_H
#define BMP2SPR_TESTS_SUPPORT_H

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

#include "platform/platform.h"

// Every test runs in a new empty folder of its own, which is the current
// directory while it runs.
class ScratchTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;
    std::string dir_;

private:
    std::string home_;
};

std::string Bytes(std::size_t n, unsigned seed);
void WriteFile(const std::string &name, const std::string &bytes);
std::string ReadFile(const std::string &name);
bool Exists(const std::string &name);
void MakeSparse(const std::string &name, unsigned long long size);
std::set<std::string> ListDir(const std::string &dir = ".");

// The SPR file that the given source bytes must give, built without the
// program's own code.
std::string ExpectedSpr(const std::string &source);

// An entry as the search lists a regular file.
WIN32_FIND_DATAA Entry(const std::string &name, unsigned long long size);

// Runs fn in a forked child and returns its exit status; -1 when it died of
// a signal or ran past the limit (it is then killed).
int RunInChild(const std::function<int()> &fn, int limitSeconds = 30);

#endif
