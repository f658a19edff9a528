// korvane-make-examples: writes the sample puzzles as .e65 files through the program's own writer, so the
// example files are exactly what the program saves.
#include <QDir>
#include <cstdio>
#include <utility>

#include "examples/sample_puzzles.h"
#include "files/puzzle_file.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Usage : korvane-make-examples DOSSIER\n");
        return 2;
    }
    using namespace korvane;
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const std::pair<const char*, Puzzle> examples[] = {
        {"zebra.e65", samples::Zebra()},
        {"seating.e65", samples::Seating()},
        {"relay.e65", samples::Relay()},
        // The houses in the last grid row: the order category is 6.
        {"zebra-house-last.e65", samples::MoveCategories(samples::Zebra(), {6, 1, 2, 3, 4, 5})},
    };
    for (const auto& [name, puzzle] : examples) {
        if (const auto error = SavePuzzleFile(folder.filePath(QLatin1String(name)), puzzle)) {
            std::fprintf(stderr, "korvane-make-examples: %s\n", qPrintable(error->message));
            return 1;
        }
    }
    return 0;
}
