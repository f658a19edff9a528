// Windows-1252, the code page of every text the program reads or writes, without Qt: the character of
// each byte, the byte of each character, and UTF-8 (the model's texts) to walk and build texts with.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace korvane {

// The character of `byte`. The five bytes Windows-1252 leaves undefined (81 8D 8F 90 9D) read as the
// control characters of the same number, as the system's converters read them, so that every byte has a
// character and every field read survives being written back.
char32_t Cp1252Character(unsigned char byte);

// The byte of `character`, or nothing when Windows-1252 has none for it.
std::optional<unsigned char> Cp1252Byte(char32_t character);

// `bytes` read as Windows-1252, as UTF-8.
std::string Cp1252ToUtf8(std::string_view bytes);

// Appends the UTF-8 bytes of `character` (a Unicode scalar value) to `out`.
void AppendUtf8(std::string& out, char32_t character);

// The character starting at `pos` in UTF-8 `text`, advancing `pos` past it; nothing, with `pos` left
// where it was, for bytes that are no well-formed UTF-8 (a cut sequence, an overlong form, a surrogate, a
// value past U+10FFFF). `pos` must be inside `text`.
std::optional<char32_t> NextUtf8(std::string_view text, std::size_t& pos);

// Whether every byte of `text` belongs to well-formed UTF-8.
bool IsUtf8(std::string_view text);

} // namespace korvane
