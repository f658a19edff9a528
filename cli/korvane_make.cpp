// korvane-make: writes a new puzzle of a chosen grade as an .e65 file, as the window's save writes it.
// Qt-free, like korvane-solve.
#include <cstdio>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "command_line.h"
#include "editor/row_reading.h"
#include "files/puzzle_format.h"
#include "korvane_version.h"
#include "reasoning/grade.h"
#include "maker/puzzle_maker.h"
#include "maker/themes.h"
#include "maker/write_file.h"

namespace {

using korvane::Grade;

constexpr std::string_view kProgram = "korvane-make";

enum ExitCode : int { kWritten = 0, kNotFound = 1, kUnusable = 2 };

constexpr int kMaxCount = 100'000;

constexpr std::string_view kUsage =
    "Usage : korvane-make [--grade NIVEAU] [--seed N] [--names ENIGME.e65] [--count N] SORTIE.e65\n"
    "\n"
    "Écrit une nouvelle énigme dans le fichier SORTIE.e65, telle que la fenêtre l'enregistre : une seule\n"
    "solution, chaque condition nécessaire à son unicité, seize conditions au plus, de la difficulté\n"
    "demandée (celle que donne « korvane-solve --steps »). Les mêmes options et la même graine donnent\n"
    "le même fichier, octet pour octet.\n"
    "\n"
    "  --grade NIVEAU  Facile, Moyen (par défaut), Difficile ou « Très difficile » ; majuscules et\n"
    "                  accent facultatifs\n"
    "  --seed N        la graine des tirages, de 0 à 18446744073709551615 (1 par défaut)\n"
    "  --names ENIGME  reprend la grille (six catégories de cinq choix) d'une énigme .e65, et sa\n"
    "                  catégorie d'ordre (celle de la plupart de ses conditions de position) ; sans\n"
    "                  cette option, un thème intégré tiré par la graine\n"
    "  --count N       écrit N énigmes, SORTIE-001.e65 à SORTIE-N.e65, de graines S, S+1, ..., où S est\n"
    "                  celle de --seed\n"
    "  --help          affiche cette aide\n"
    "  --version       affiche la version\n"
    "\n"
    "Difficulté, d'après la résolution pas à pas : Facile, sans supposition et au plus quatre étapes de\n"
    "position ; Moyen, sans supposition et davantage d'étapes de position ; Difficile, une supposition ;\n"
    "Très difficile, deux suppositions ou plus, ou une supposition que seule la recherche réfute.\n"
    "\n"
    "Chaque fichier écrit l'est en entier ou pas du tout (par un fichier temporaire renommé). Une ligne\n"
    "par fichier écrit sur la sortie standard.\n"
    "\n"
    "Codes de sortie : 0 énigme écrite, 2 usage incorrect, fichier de noms illisible ou grille\n"
    "inutilisable, fichier de sortie impossible à écrire, 1 aucune énigme trouvée (jamais vu).\n";

struct Options {
    Grade grade = Grade::Medium;
    std::uint64_t seed = 1;
    std::optional<std::string> names;
    std::optional<int> count;
    std::string out;
};

// The messages on stderr, after the program's name.
void PrintError(std::string_view message) { korvane::cli::PrintError(kProgram, message); }

// The options of the command line, or the exit code when there is nothing to make: after --help and
// --version (0), or after a usage error, reported on stderr (2).
std::variant<Options, int> ParseArguments(int argc, char** argv) {
    Options options;
    korvane::cli::CommandLine line(kProgram, kUnusable, argc, argv);
    using korvane::cli::ParseNumber;
    while (const std::optional<std::string_view> option = line.next()) {
        const std::string_view name = *option;
        if (const std::optional<int> answered = line.answerStandard(name, kUsage, KORVANE_VERSION)) return *answered;
        if (name == "--grade") {
            const std::optional<std::string_view> text = line.takeValue();
            if (!text) return line.usageError("--grade attend un niveau : Facile, Moyen, Difficile ou « Très difficile »");
            const std::optional<Grade> grade = korvane::GradeNamed(*text);
            if (!grade)
                return line.usageError("niveau inconnu : « " + std::string(*text) +
                                  " » (Facile, Moyen, Difficile ou « Très difficile »)");
            options.grade = *grade;
        } else if (name == "--seed") {
            const auto number = ParseNumber<std::uint64_t>(line.takeValue().value_or(""), 0,
                                                            std::numeric_limits<std::uint64_t>::max());
            if (!number) return line.usageError("--seed attend un nombre entier de 0 à 18446744073709551615");
            options.seed = *number;
        } else if (name == "--names") {
            const std::optional<std::string_view> path = line.takeValue();
            if (!path || path->empty()) return line.usageError("--names attend un fichier d'énigme");
            options.names = std::string(*path);
        } else if (name == "--count") {
            const auto number = ParseNumber<int>(line.takeValue().value_or(""), 1, kMaxCount);
            if (!number) return line.usageError("--count attend un nombre de 1 à " + std::to_string(kMaxCount));
            options.count = *number;
        } else {
            return line.usageError("option inconnue : " + std::string(line.argument()));
        }
    }
    const std::vector<std::string_view>& files = line.operands();
    if (files.empty()) return line.usageError("il manque le fichier à écrire");
    if (files.size() > 1) return line.usageError("un seul fichier à écrire, pas " + std::to_string(files.size()));
    if (files.front().empty()) return line.usageError("le nom du fichier à écrire est vide");
    if (options.count && static_cast<std::uint64_t>(*options.count - 1) > std::numeric_limits<std::uint64_t>::max() - options.seed)
        return line.usageError("--seed et --count : la dernière graine dépasserait 18446744073709551615");
    options.out = std::string(files.front());
    return options;
}

// "out.e65" and the puzzle n of `count`: "out-007.e65"; the number has three digits at least, as many as
// `count` has at most.
std::string NumberedPath(const std::string& out, int n, int count) {
    std::string stem = out;
    if (stem.size() > 4 && stem.ends_with(".e65")) stem.resize(stem.size() - 4);
    std::string digits = std::to_string(n);
    const std::size_t width = std::max<std::size_t>(3, std::to_string(count).size());
    digits.insert(0, width - digits.size(), '0');
    return stem + "-" + digits + ".e65";
}

int CountedRows(const korvane::Puzzle& puzzle) {
    int rows = 0;
    for (int k = 1; k <= korvane::kRules; ++k) rows += puzzle.rules[k].relation != 0;
    return rows;
}

} // namespace

int main(int argc, char** argv) {
    const auto parsed = ParseArguments(argc, argv);
    if (const int* exitCode = std::get_if<int>(&parsed)) return *exitCode;
    const Options& options = std::get<Options>(parsed);

    // The names: the grid of the file, read as the window reads it, or a theme of the seed's.
    std::optional<korvane::maker::Grid> grid;
    if (options.names) {
        const auto loaded = korvane::ReadPuzzleFile(*options.names, *options.names);
        if (const auto* error = std::get_if<korvane::FormatError>(&loaded)) {
            PrintError(error->message);
            return kUnusable;
        }
        korvane::Puzzle puzzle = std::get<korvane::Puzzle>(loaded);
        puzzle.rules = korvane::ReadRows(puzzle).stated;
        grid = korvane::maker::GridOf(puzzle);
        if (const auto problem = korvane::maker::GridProblem(*grid)) {
            PrintError(*options.names + " : la grille ne peut pas servir, " + *problem);
            return kUnusable;
        }
    }

    const int count = options.count.value_or(1);
    for (int n = 1; n <= count; ++n) {
        const std::uint64_t seed = options.seed + static_cast<std::uint64_t>(n - 1);
        const std::string path = options.count ? NumberedPath(options.out, n, count) : options.out;
        const auto made = grid ? korvane::maker::MakeGradedPuzzle(*grid, options.grade, seed)
                               : korvane::maker::MakeGradedPuzzle(options.grade, seed);
        if (!made) {
            PrintError("aucune énigme « " + std::string(korvane::GradeName(options.grade)) +
                       " » trouvée avec la graine " + std::to_string(seed));
            return kNotFound;
        }
        const auto bytes = korvane::RenderPuzzle(made->puzzle);
        if (const auto* error = std::get_if<korvane::FormatError>(&bytes)) {
            PrintError(error->message);
            return kUnusable;
        }
        if (const auto error = korvane::maker::WriteFileSafely(path, std::get<std::string>(bytes))) {
            PrintError(*error);
            return kUnusable;
        }
        std::printf("%s : %s, %d conditions, graine %llu\n", path.c_str(),
                    std::string(korvane::GradeName(made->grade)).c_str(), CountedRows(made->puzzle),
                    static_cast<unsigned long long>(seed));
    }
    return kWritten;
}
