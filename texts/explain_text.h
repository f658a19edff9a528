// The explanation of a solve as the user reads it: French lines, and the JSON member of korvane-solve.
#pragma once

#include <string>
#include <vector>

#include "core/check.h"
#include "core/model.h"
#include "reasoning/explain.h"
#include "reasoning/inert.h"
#include "reasoning/partners.h"

namespace korvane {

class JsonWriter;

// Why a row constrains nothing, for `puzzle` with its rules tidied as for a search: "Ligne 10 : sans
// catégorie d'ordre (…), « Contigu de » vaut pour toute solution : elle ne contraint rien."
std::string InertRowLine(const InertRow& inert, const Puzzle& puzzle);

// The explanation in French, one text per line, rows shown with RowText().
std::vector<std::string> ExplanationLines(const Explanation& explanation, const Puzzle& puzzle);

// The malformed row that stops a search, in the two lines the explanation gives it: the error message
// with the boxes at fault, then the row.
std::vector<std::string> MalformedRowLines(const MalformedRow& malformed, const Puzzle& puzzle);

// The explanation as one JSON object (UTF-8, no line breaks).
std::string ExplanationJson(const Explanation& explanation, const Puzzle& puzzle);

// The items with more than one partner, one line per pair of categories:
// "Chaise / Métier : C (Notaire ou Peintre), D (Notaire ou Peintre)".
std::vector<std::string> OpenCellLines(const PartnerTable& partners, const Puzzle& puzzle);

// The same items as a JSON array of {"categoryA", "categoryB", "items": [{"choice", "partners"}]}.
void WriteOpenCells(JsonWriter& json, const PartnerTable& partners);
// The malformed row as a JSON object {"row", "text", "boxes", "error", "reached"}.
void WriteMalformedRow(JsonWriter& json, const MalformedRow& malformed, const Puzzle& puzzle);

} // namespace korvane
