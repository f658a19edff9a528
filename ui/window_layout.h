// Where every widget of the main window stands, and what it looks like, in pixels at 96 dots per inch
// from the top left corner of the client area. The sixteen condition rows are one table of seven boxes
// that the window repeats; nothing here is copied per row.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "boxes/boxes.h"
#include "core/model.h"
#include "korvane_version.h"

namespace korvane::layout {

inline constexpr std::string_view kCaption = "Korvane  V" KORVANE_VERSION "      (6 catégories / 5 choix)";
inline constexpr int kOuterWidth = 891;
inline constexpr int kOuterHeight = 761;
// The client area of a classic Windows frame of that outer size, used until the real frame is known.
inline constexpr int kClientWidth = 883;
inline constexpr int kClientHeight = 734;

inline constexpr int kFontPixels = 11; // "MS Sans Serif", 8 points

inline constexpr std::uint32_t kAqua = 0x00FFFF;
inline constexpr std::uint32_t kYellow = 0xFFFF00;
inline constexpr std::uint32_t kWhite = 0xFFFFFF;
inline constexpr std::uint32_t kRed = 0xFF0000;
inline constexpr std::uint32_t kMaroon = 0x800000;
inline constexpr std::uint32_t kWindowColour = 0xFF000000; // the platform's own colour, no RGB value

// How the boxes of a condition row look, left to right; their numbers come from boxes/boxes.h.
struct BoxColumn {
    BoxRole role;
    int left, width;
    std::uint32_t colour;
    int shownEntries;        // entries the open list shows before it scrolls
    bool visibleAtStart;
    std::string_view hint;   // a row's category box A adds its row number
};

inline constexpr std::array<BoxColumn, 7> kBoxColumns{{
    {BoxRole::CategoryA, 52, 125, kAqua, 6, true, "Condition "},
    {BoxRole::ChoiceA, 188, 125, kYellow, 6, true, ""},
    {BoxRole::Steps, 324, 37, kWindowColour, 8, false, "Nombre de crans"},
    {BoxRole::Relation, 368, 125, kWhite, 12, true, ""},
    {BoxRole::Order, 500, 37, kWindowColour, 8, false, "N° de la catégorie à utiliser"},
    {BoxRole::CategoryB, 548, 125, kAqua, 6, true, ""},
    {BoxRole::ChoiceB, 684, 125, kYellow, 6, true, ""},
}};

inline constexpr int kBoxHeight = 21;
inline constexpr int kListEntryHeight = 13;
inline constexpr int kClearButtonLeft = 824;
inline constexpr int kClearButtonSize = 21;
inline constexpr int kClearIconSize = 14;

constexpr int RowTop(int k) { return 160 + 24 * (k - 1); }
constexpr const BoxColumn& Column(BoxRole role) { return kBoxColumns[static_cast<std::size_t>(role)]; }
constexpr int BoxNumber(const BoxColumn& column, int k) { return korvane::BoxNumber(column.role, k); }
static_assert([] {
    for (std::size_t i = 0; i < kBoxColumns.size(); ++i)
        if (static_cast<std::size_t>(kBoxColumns[i].role) != i) return false;
    return true;
}());

// The name grid SG1.
inline constexpr int kGridLeft = 68, kGridTop = 8, kGridWidth = 777, kGridHeight = 141;
inline constexpr int kGridColumnWidth = 127, kGridRowHeight = 18;
inline constexpr int kGridLineWidth = 1; // drawn between cells, outside the sizes above
inline constexpr std::string_view kGridHeader = R"(CATÉGORIE,"Choix 1","Choix 2","Choix 3","Choix 4","Choix 5")";

// Label18..Label23 name grid rows 1..6; Label1..Label16 number the condition rows.
constexpr int CategoryLabelTop(int c) { return 32 + 20 * (c - 1); }
inline constexpr int kCategoryLabelLeft = 4, kCategoryLabelWidth = 54, kCategoryLabelHeight = 13;
inline constexpr int kRowLabelLeft = 20, kRowLabelWidth = 22, kRowLabelHeight = 20, kRowLabelPixels = 16;

struct Rect {
    int left, top, width, height;
};

// The command buttons of the bottom area.
enum class Command : std::uint8_t { LoadPuzzle, SavePuzzle, Abandon, ClearAll, Test, Solve, SaveSolution, Copy, Explain, NewPuzzle };

struct ButtonLayout {
    Command command;
    std::string_view name;
    Rect rect;
    std::string_view caption;
    std::string_view hint;
    std::string_view picture; // resource path, empty for none
    int pictureSize;
    bool visible;
};

inline constexpr std::array<ButtonLayout, 10> kButtons{{
    {Command::LoadPuzzle, "BitBtn23", {608, 556, 66, 25}, "puzzle", "Charger une enigme", ":/korvane/folder.svg", 17, true},
    {Command::SavePuzzle, "BitBtn22", {676, 556, 66, 25}, "puzzle", "Sauvegarder une enigme", ":/korvane/floppy_purple.svg", 20, true},
    {Command::Abandon, "BitBtn24", {744, 556, 66, 25}, "Abandon", "Abandonner le calcul de la solution", "", 0, true},
    {Command::ClearAll, "BitBtn20", {824, 556, 21, 21}, "", "Efface toutes les règles existantes", ":/korvane/eraser.svg", 14, true},
    {Command::Test, "BitBtn2", {548, 588, 53, 25}, "Test", "", "", 0, false},
    {Command::Solve, "BitBtn19", {608, 588, 66, 25}, "soluce", "Trouver la solution de l'enigme", ":/korvane/eye.svg", 16, true},
    {Command::SaveSolution, "BitBtn3", {676, 588, 66, 25}, "soluce", "Sauvegarder la solution trouvée", ":/korvane/floppy_red.svg", 17, true},
    {Command::Copy, "BitBtn21", {744, 588, 66, 25}, "Clipboard", "Copier la solution trouvée dans le presse-papier", "", 0, true},
    // Below the verdict, where nothing else stands even when the verdict runs wide.
    {Command::Explain, "BitBtn25", {548, 696, 80, 25}, "Pourquoi ?", "Expliquer le résultat", "", 0, true},
    // Right of the progress bars, where nothing stands.
    {Command::NewPuzzle, "BitBtn26", {816, 620, 64, 36}, "Nouvelle\nénigme", "Créer une nouvelle énigme d'une difficulté choisie", "", 0, true},
}};

inline constexpr Rect kMemo{20, 556, 517, 153};
inline constexpr Rect kCount{548, 556, 49, 21};          // Edit1
inline constexpr std::string_view kCountHint = "Nombre de solutions trouvées";
inline constexpr Rect kStatus{548, 664, 261, 20};        // Label17
inline constexpr int kStatusPixels = 12;
// Label24: the rows the last solve left out or found without effect, right of "Pourquoi ?".
inline constexpr Rect kIdleNotice{634, 688, 245, 42};
inline constexpr Rect kInnerBar{544, 620, 265, 16};      // ProgressBar1
inline constexpr Rect kOuterBar{544, 640, 265, 16};      // ProgressBar2

inline constexpr std::string_view kIcon = ":/korvane/korvane.svg";
inline constexpr std::string_view kClearPicture = ":/korvane/eraser.svg";

} // namespace korvane::layout
