#include "profiles/Scramble.h"

#include <gtest/gtest.h>

namespace {

TEST(ScrambleTest, ScramblingTwiceGivesTheInput)
{
    const std::string text = "Geheim: äöü \x01\xFF";
    for (std::size_t start : {0u, 10u, 30u, 140u})
        EXPECT_EQ(ScrambleText(ScrambleText(text, start), start), text);
    EXPECT_NE(ScrambleText(text, 0), text);
}

TEST(ScrambleTest, HexEncodingAndDecoding)
{
    EXPECT_EQ(HexEncode(std::string("\x00\x9F\xFF", 3)), "009FFF");
    EXPECT_EQ(*HexDecode("009FFF"), std::string("\x00\x9F\xFF", 3));
    EXPECT_EQ(*HexDecode("009ff"), std::string("\x00\x9F", 2)); // a lone digit at the end is ignored
    EXPECT_FALSE(HexDecode("0G"));
}

TEST(ScrambleTest, LogonFieldsRoundTripWithinTheirLimits)
{
    std::mt19937 random(7);
    struct Case
    {
        LogonKind kind;
        std::size_t limit;
    };
    for (const Case c : {Case{LogonKind::User, MaxNetUserBytes}, Case{LogonKind::Password, MaxNetPasswdBytes}}) {
        for (const std::string& text : {std::string("x"), std::string("Jürgen"), std::string(c.limit, 'u')}) {
            const std::string stored = EncodeLogonField(text, c.kind, random);
            EXPECT_EQ(stored.size(), 200u);
            EXPECT_EQ(DecodeLogonField(stored, c.kind), text);
        }
        // One byte more makes a block the reader does not accept.
        EXPECT_EQ(DecodeLogonField(EncodeLogonField(std::string(c.limit + 1, 'u'), c.kind, random), c.kind), "");
    }
    // Lead-in and filler are random: the same text is stored differently each time.
    EXPECT_NE(EncodeLogonField("anna", LogonKind::User, random), EncodeLogonField("anna", LogonKind::User, random));
}

TEST(ScrambleTest, DamagedLogonBlocksGiveTheEmptyText)
{
    std::mt19937 random(1);
    const std::string good = EncodeLogonField("anna", LogonKind::User, random);
    EXPECT_EQ(DecodeLogonField("", LogonKind::User), "");
    EXPECT_EQ(DecodeLogonField(good.substr(0, 198), LogonKind::User), "");
    EXPECT_EQ(DecodeLogonField(good + "00", LogonKind::User), "");
    EXPECT_EQ(DecodeLogonField(good.substr(0, 199) + "Z", LogonKind::User), "");
    // A length byte at or below the bias means no text.
    std::string zeroLength = good;
    zeroLength.replace(14, 2, "0D");
    EXPECT_EQ(DecodeLogonField(zeroLength, LogonKind::User), "");
    // Decoding with the other kind reads the wrong length byte.
    EXPECT_NE(DecodeLogonField(good, LogonKind::Password), "anna");
}

TEST(ScrambleTest, ZipPassword)
{
    EXPECT_EQ(EncodeZipPassword(""), "");
    EXPECT_EQ(DecodeZipPassword(""), "");
    const std::string longest(MaxZipPasswordBytes, 'p');
    EXPECT_EQ(DecodeZipPassword(EncodeZipPassword(longest)), longest);
    EXPECT_EQ(DecodeZipPassword(EncodeZipPassword("Kennwort-ß")), "Kennwort-ß");
    EXPECT_EQ(DecodeZipPassword("nonsense"), "");
}

} // namespace
