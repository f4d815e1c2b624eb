#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "spr/spr_format.h"
#include "tests/support.h"

namespace {

std::string AllByteValues()
{
    std::string s;
    for (int b = 0; b < 256; b++)
        s.push_back(static_cast<char>(b));
    return s;
}

std::string EncodeInBuffer(const std::string &source)
{
    std::vector<unsigned char> image(source.size() + SprMagicSize, 0xEE);
    std::copy(source.begin(), source.end(), image.begin() + SprMagicSize);
    EncodeSprImage(image.data(), source.size());
    return std::string(image.begin(), image.end());
}

struct LayoutCase {
    const char *label;
    std::string source;
};

class SprLayout : public ::testing::TestWithParam<LayoutCase>
{
};

TEST_P(SprLayout, IsMagicThenKeyedBodyAndRoundTrips)
{
    const std::string &source = GetParam().source;
    std::string image = EncodeInBuffer(source);

    ASSERT_EQ(image.size(), source.size() + 6);
    EXPECT_EQ(image.substr(0, 6), "GXXBKI");
    EXPECT_EQ(image, ExpectedSpr(source));
    std::string back;
    for (std::size_t i = 6; i < image.size(); i++)
        back.push_back(static_cast<char>(static_cast<unsigned char>(image[i]) ^ 0xA7));
    EXPECT_EQ(back, source);
}

INSTANTIATE_TEST_SUITE_P(Sources, SprLayout,
                         ::testing::Values(LayoutCase{"Empty", ""},
                                           LayoutCase{"OneByte", std::string(1, '\x42')},
                                           LayoutCase{"OddTail", Bytes(13, 7)},
                                           LayoutCase{"AllByteValues", AllByteValues()},
                                           LayoutCase{"LargeRandom", Bytes((1U << 20) + 3, 1)}),
                         [](const auto &p) { return std::string(p.param.label); });

TEST(SprLayout, OneSourceByteChangesOnlyItsBodyByte)
{
    std::string a = Bytes(1000, 3);
    std::string b = a;
    b[517] = static_cast<char>(b[517] ^ 0x10);
    std::string ea = EncodeInBuffer(a);
    std::string eb = EncodeInBuffer(b);
    for (std::size_t i = 0; i < ea.size(); i++)
        EXPECT_EQ(ea[i] != eb[i], i == 517 + 6) << "offset " << i;
}

}  // namespace
