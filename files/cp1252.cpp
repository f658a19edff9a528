// Windows-1252 as one table: the 32 bytes 80..9F, where it differs from Latin-1; every other byte is the
// character of the same number.
#include "files/cp1252.h"

#include <array>

namespace korvane {

namespace {

constexpr unsigned char kFirstOwn = 0x80;
constexpr std::array<char32_t, 32> kOwnBlock = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98..9F
};

bool InOwnBlock(char32_t c) { return c >= kFirstOwn && c < kFirstOwn + kOwnBlock.size(); }

} // namespace

char32_t Cp1252Character(unsigned char byte) {
    return InOwnBlock(byte) ? kOwnBlock[byte - kFirstOwn] : byte;
}

std::optional<unsigned char> Cp1252Byte(char32_t character) {
    if (character <= 0xFF && !InOwnBlock(character)) return static_cast<unsigned char>(character);
    for (std::size_t i = 0; i < kOwnBlock.size(); ++i)
        if (kOwnBlock[i] == character) return static_cast<unsigned char>(kFirstOwn + i);
    return std::nullopt;
}

std::string Cp1252ToUtf8(std::string_view bytes) {
    std::string utf8;
    utf8.reserve(bytes.size());
    for (const char b : bytes) {
        const auto byte = static_cast<unsigned char>(b);
        if (byte < 0x80)
            utf8 += b; // the common case, kept short
        else
            AppendUtf8(utf8, Cp1252Character(byte));
    }
    return utf8;
}

void AppendUtf8(std::string& out, char32_t c) {
    const auto put = [&](char32_t bits) { out += static_cast<char>(bits); };
    if (c < 0x80) {
        put(c);
    } else if (c < 0x800) {
        put(0xC0 | (c >> 6));
        put(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        put(0xE0 | (c >> 12));
        put(0x80 | ((c >> 6) & 0x3F));
        put(0x80 | (c & 0x3F));
    } else {
        put(0xF0 | (c >> 18));
        put(0x80 | ((c >> 12) & 0x3F));
        put(0x80 | ((c >> 6) & 0x3F));
        put(0x80 | (c & 0x3F));
    }
}

std::optional<char32_t> NextUtf8(std::string_view text, std::size_t& pos) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }

    // The length the lead byte announces, and the smallest character that needs it (below is overlong).
    std::size_t length = 0;
    char32_t c = 0;
    char32_t smallest = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, c = lead & 0x1F, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, c = lead & 0x0F, smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, c = lead & 0x07, smallest = 0x10000;
    } else {
        return std::nullopt; // a continuation byte, or a lead byte of a form Unicode never uses
    }
    if (text.size() - pos < length) return std::nullopt;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80) return std::nullopt;
        c = (c << 6) | (byte(pos + i) & 0x3F);
    }
    if (c < smallest || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
    pos += length;
    return c;
}

bool IsUtf8(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();)
        if (!NextUtf8(text, pos)) return false;
    return true;
}

} // namespace korvane
