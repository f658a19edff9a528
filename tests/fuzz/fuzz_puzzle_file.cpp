// libFuzzer harness of the puzzle file reader: no input makes it misbehave, every refusal says why, and
// whatever it accepts the writer either refuses for a reason a read can produce or writes to bytes that
// read back as the same puzzle and write again to themselves.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "files/puzzle_file.h"

namespace {

void Fail(const char* what) {
    std::fprintf(stderr, "round trip broken: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using korvane::FileError;
    using korvane::Puzzle;
    const auto read = korvane::ReadPuzzle(QByteArrayView(data, static_cast<qsizetype>(size)));
    if (const auto* error = std::get_if<FileError>(&read)) {
        if (error->message.isEmpty()) Fail("a read error without a message");
        return 0;
    }
    const Puzzle& puzzle = std::get<Puzzle>(read);

    const auto written = korvane::WritePuzzle(puzzle);
    if (const auto* error = std::get_if<FileError>(&written)) {
        // A read gives valid UTF-8 in Windows-1252, names of at most 253 bytes and a condition line no
        // longer than the one read; only a CR or LF inside a name, or a long box text, cannot go back.
        if (error->kind != FileError::Kind::ReservedCharacter && error->kind != FileError::Kind::FieldTooLong)
            Fail(qPrintable(error->message));
        return 0;
    }
    const QByteArray& bytes = std::get<QByteArray>(written);

    const auto reread = korvane::ReadPuzzle(bytes);
    const auto* again = std::get_if<Puzzle>(&reread);
    if (!again) Fail(qPrintable(std::get<FileError>(reread).message));
    if (!(*again == puzzle)) Fail("the written file reads as another puzzle");
    const auto rewritten = korvane::WritePuzzle(*again);
    if (!std::holds_alternative<QByteArray>(rewritten) || std::get<QByteArray>(rewritten) != bytes)
        Fail("writing the same puzzle twice gives different bytes");
    return 0;
}
