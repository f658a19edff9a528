// The `.e65` puzzle file without Qt: three lines of "|"-terminated Windows-1252 texts (the 36 grid names,
// the 80 main condition boxes, the 32 steps and order boxes), each ended by CR LF, then the 112 rule
// values as little-endian 32-bit integers and a last CR LF. The window reaches it through
// files/puzzle_file.h; korvane-solve and the fuzzer use it as it stands.
#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "core/model.h"

namespace korvane {

// Why a puzzle could not be read or written.
enum class FileErrorKind {
    // Reading
    TextLinesCutShort,  // the bytes end inside the name, condition or option line
    NameWithoutBar,     // a name without its "|" within 254 bytes
    LineWithoutEnd,     // a condition or option line without CR or LF within 10,000 bytes
    NoValueBlock,       // fewer than three CR bytes: nothing says where the values are
    ValueBlockCutShort, // the bytes end inside the 448 bytes of values
    // Writing: a text the format cannot carry
    NotUtf8,           // the text is not valid UTF-8
    ReservedCharacter, // "|", CR or LF
    NotWindows1252,    // a character without a Windows-1252 byte
    NameTooLong,       // a name over 253 bytes
    FieldTooLong,      // a box text over 259 bytes
    LineTooLong,       // a condition or option line over 9,999 bytes
    // The file system
    OpenFailed,
    ReadFailed,
    FileTooLarge,
    WriteFailed,
};

// `message` is French UTF-8, meant for the user as it stands, and names the place in the file or the
// field of the puzzle at fault.
struct FormatError {
    FileErrorKind kind;
    std::string message;
};

// Parses a whole puzzle file held in `bytes`. Texts and values are read from where .e65 files keep
// them: the names up to their 36th "|", the condition line from the third byte after it and the
// option line from the second byte after the condition line's end (each tolerates missing or extra
// fields, which it drops, and stray bytes after its last "|"), the values right after the third CR of
// the file plus one byte, whatever follows them being ignored. Boxes the file has no field for are
// empty. Returns the complete puzzle, or an error when any of it is missing; never reads outside
// `bytes`.
std::variant<Puzzle, FormatError> ParsePuzzle(std::string_view bytes);

// Renders `puzzle` as the bytes of its puzzle file. Refuses, naming the first field at fault in file
// order, any text the format cannot carry back unchanged: invalid UTF-8, "|", CR or LF, a character
// Windows-1252 lacks, a name over 253 bytes, a box text over 259 bytes, a condition or option line over
// 9,999 bytes. Whatever it returns as bytes, ParsePuzzle turns back into `puzzle`.
std::variant<std::string, FormatError> RenderPuzzle(const Puzzle& puzzle);

// Reads the file at `path` (as the system takes it) and parses it with ParsePuzzle. A file over 16 MiB
// is refused without being read to its end (a puzzle's text lines end within 30 kB). Errors name the file
// as `shownPath`.
std::variant<Puzzle, FormatError> ReadPuzzleFile(const std::string& path, std::string_view shownPath);

} // namespace korvane
