#include "profiles/Scramble.h"

#include "base/Text.h"

#include <array>
#include <cstdint>

namespace {

// Tresorio's own key table. It must never change: profile files written with it are read
// back only with the same bytes.
constexpr std::array<std::uint8_t, KeyTableSize> KeyTable = {
    0x54, 0xD0, 0x82, 0x99, 0x74, 0x32, 0x27, 0x89, 0x70, 0x46, 0x22, 0x13, 0x97, 0x05, 0xF7, 0x21, 0x82, 0x38, 0xE1,
    0x15, 0xA0, 0xDD, 0xAA, 0xBB, 0x02, 0x12, 0x91, 0x07, 0x54, 0xAE, 0x79, 0x88, 0x9D, 0x2D, 0xCD, 0xC9, 0xD3, 0x97,
    0xF7, 0x82, 0x65, 0xFB, 0x19, 0xCF, 0xFF, 0xCC, 0x44, 0x0A, 0xED, 0xB1, 0x9A, 0x28, 0x6A, 0x5F, 0xB1, 0xEE, 0x99,
    0x3D, 0x59, 0xB9, 0x4D, 0xD6, 0x78, 0x2D, 0xA4, 0x2E, 0x45, 0x47, 0x48, 0x68, 0xD2, 0x79, 0xAD, 0x7A, 0x43, 0x94,
    0x6F, 0xC3, 0x9D, 0xB0, 0x54, 0xE9, 0x9D, 0x7F, 0x1E, 0x5E, 0x47, 0x49, 0xE1, 0x93, 0x10, 0x44, 0x48, 0xA8, 0xDE,
    0xF8, 0x61, 0xB5, 0x34, 0xDF, 0xD5, 0xAA, 0xFB, 0xB2, 0xA8, 0xD8, 0x6D, 0x32, 0x08, 0x9A, 0x72, 0xCF, 0x64, 0xD1,
    0x57, 0xAB, 0xE2, 0x0E, 0x4E, 0xF1, 0xD2, 0xF4, 0x34, 0xEA, 0x88, 0xE9, 0x23, 0x7C, 0x57, 0x2C, 0xAE, 0x24, 0x26,
    0x08, 0xB4, 0x21, 0xC3, 0x13, 0x68, 0x60, 0x12, 0xCB, 0x97, 0x29, 0x49, 0xA2,
};

struct LogonLayout
{
    std::size_t leadIn;
    int lengthBias;
    std::size_t keyStart;
};

LogonLayout layoutOf(LogonKind kind)
{
    return kind == LogonKind::User ? LogonLayout{7, 13, 10} : LogonLayout{9, 20, 12};
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

char randomByte(std::mt19937& random)
{
    return static_cast<char>(std::uniform_int_distribution<int>(0, 254)(random));
}

// Texts from files of older installations were scrambled in Windows-1252.
std::string asText(std::string bytes)
{
    return IsValidUtf8(bytes) ? bytes : Cp1252ToUtf8(bytes);
}

} // namespace

std::string ScrambleText(std::string_view bytes, std::size_t start)
{
    std::string out(bytes);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<char>(static_cast<std::uint8_t>(out[i]) ^ KeyTable[(start + i) % KeyTableSize]);
    return out;
}

std::string HexEncode(std::string_view bytes)
{
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto b = static_cast<std::uint8_t>(c);
        out += Digits[b >> 4];
        out += Digits[b & 0x0F];
    }
    return out;
}

std::optional<std::string> HexDecode(std::string_view text)
{
    std::string out;
    out.reserve(text.size() / 2);
    for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
        const int high = hexDigit(text[i]);
        const int low = hexDigit(text[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        out += static_cast<char>(high * 16 + low);
    }
    return out;
}

std::string EncodeLogonField(std::string_view text, LogonKind kind, std::mt19937& random)
{
    const LogonLayout layout = layoutOf(kind);
    std::string block;
    for (std::size_t i = 0; i < layout.leadIn; ++i)
        block += randomByte(random);
    block += static_cast<char>((static_cast<int>(text.size()) + layout.lengthBias) & 0xFF);
    block += ScrambleText(text, layout.keyStart);
    while (block.size() < LogonBlockSize)
        block += randomByte(random);
    return HexEncode(block);
}

std::string DecodeLogonField(std::string_view value, LogonKind kind)
{
    const LogonLayout layout = layoutOf(kind);
    const std::optional<std::string> block = HexDecode(value);
    if (!block || block->size() != LogonBlockSize)
        return {};
    const int length = static_cast<std::uint8_t>((*block)[layout.leadIn]) - layout.lengthBias;
    if (length <= 0)
        return {};
    const std::string scrambled = block->substr(layout.leadIn + 1, static_cast<std::size_t>(length));
    return asText(ScrambleText(scrambled, layout.keyStart));
}

std::string EncodeZipPassword(std::string_view password)
{
    return HexEncode(ScrambleText(password, ZipPasswordKeyStart));
}

std::string DecodeZipPassword(std::string_view value)
{
    const std::optional<std::string> bytes = HexDecode(value);
    return bytes ? asText(ScrambleText(*bytes, ZipPasswordKeyStart)) : std::string();
}
