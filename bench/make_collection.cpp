// korvane-bench-collection: writes N puzzle files for timing korvane-solve over a whole collection, as
// the test suites and puzzle authors run it. Each file is a sample puzzle with its categories moved to
// other grid rows and, for every other file, one condition row cleared, so that the collection holds
// unique, several-solution and contradictory puzzles and the solver meets them in many orders.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <numeric>
#include <random>
#include <string>

#include "boxes/boxes.h"
#include "examples/sample_puzzles.h"
#include "files/puzzle_format.h"

namespace {

using korvane::Puzzle;

// Condition row k cleared as the row's clear button leaves it: every box empty, every value 0.
void ClearRow(Puzzle& puzzle, int k) {
    for (const korvane::BoxRoleInfo& info : korvane::kBoxRoleTable) {
        const int n = korvane::BoxNumber(info.role, k);
        puzzle.boxTexts[static_cast<std::size_t>(n - 1)].clear();
        BoxValue(puzzle.rules, n) = 0;
    }
}

int UsedRows(const Puzzle& puzzle) {
    int rows = 0;
    for (int k = 1; k <= korvane::kRules; ++k)
        if (puzzle.rules[k].relation != 0) rows = k;
    return rows;
}

} // namespace

int main(int argc, char** argv) {
    int count = 0;
    if (argc != 3 || std::from_chars(argv[2], argv[2] + std::char_traits<char>::length(argv[2]), count).ec != std::errc() ||
        count < 1) {
        std::fprintf(stderr, "Usage : korvane-bench-collection DOSSIER NOMBRE\n");
        return 2;
    }
    const unsigned seed = 2026;
    std::printf("seed %u\n", seed);
    std::mt19937 random(seed);
    const Puzzle samples[] = {korvane::samples::Zebra(), korvane::samples::Seating(), korvane::samples::Relay()};
    for (int i = 0; i < count; ++i) {
        std::array<int, korvane::kCategories> order;
        std::iota(order.begin(), order.end(), 1);
        std::shuffle(order.begin(), order.end(), random);
        Puzzle puzzle = korvane::samples::MoveCategories(samples[i % std::size(samples)], order);
        if (i % 2 == 1) ClearRow(puzzle, std::uniform_int_distribution<int>(1, UsedRows(puzzle))(random));

        const auto bytes = korvane::RenderPuzzle(puzzle);
        const std::string path = std::string(argv[1]) + "/puzzle-" + std::to_string(i) + ".e65";
        std::FILE* file = std::fopen(path.c_str(), "wb");
        const std::string& data = std::get<std::string>(bytes);
        if (!file || std::fwrite(data.data(), 1, data.size(), file) != data.size() || std::fclose(file) != 0) {
            std::fprintf(stderr, "korvane-bench-collection: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
