// libFuzzer harness of the puzzle file reader: no input makes it misbehave, every refusal says why, and
// whatever it accepts the writer either refuses for a reason a read can produce or writes to bytes that
// read back as the same puzzle and write again to themselves. Qt-free, like the reader itself.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "files/puzzle_format.h"

namespace {

void Fail(const char* what) {
    std::fprintf(stderr, "round trip broken: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using korvane::FileErrorKind;
    using korvane::FormatError;
    using korvane::Puzzle;
    const auto read = korvane::ParsePuzzle(std::string_view(reinterpret_cast<const char*>(data), size));
    if (const auto* error = std::get_if<FormatError>(&read)) {
        if (error->message.empty()) Fail("a read error without a message");
        return 0;
    }
    const Puzzle& puzzle = std::get<Puzzle>(read);

    const auto written = korvane::RenderPuzzle(puzzle);
    if (const auto* error = std::get_if<FormatError>(&written)) {
        // A read gives valid UTF-8 in Windows-1252, names of at most 253 bytes and a condition line no
        // longer than the one read; only a CR or LF inside a name, or a long box text, cannot go back.
        if (error->kind != FileErrorKind::ReservedCharacter && error->kind != FileErrorKind::FieldTooLong)
            Fail(error->message.c_str());
        return 0;
    }
    const std::string& bytes = std::get<std::string>(written);

    const auto reread = korvane::ParsePuzzle(bytes);
    const auto* again = std::get_if<Puzzle>(&reread);
    if (!again) Fail(std::get<FormatError>(reread).message.c_str());
    if (!(*again == puzzle)) Fail("the written file reads as another puzzle");
    const auto rewritten = korvane::RenderPuzzle(*again);
    if (!std::holds_alternative<std::string>(rewritten) || std::get<std::string>(rewritten) != bytes)
        Fail("writing the same puzzle twice gives different bytes");
    return 0;
}
