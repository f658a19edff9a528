#include "reasoning/grade.h"

#include <array>
#include <string>

namespace korvane {

Grade GradeOf(const Trace& trace) {
    int positions = 0, whatIfs = 0;
    bool deep = false;
    for (const Step& step : trace.steps) {
        positions += step.technique == Technique::Position;
        whatIfs += step.technique == Technique::WhatIf;
        deep = deep || step.technique == Technique::DeepWhatIf;
    }
    if (deep || whatIfs >= kVeryHardWhatIfs) return Grade::VeryHard;
    if (whatIfs > 0) return Grade::Hard;
    return positions > kEasyPositionSteps ? Grade::Medium : Grade::Easy;
}

namespace {

constexpr std::array<std::string_view, kGrades> kTexts{"Facile", "Moyen", "Difficile", "Très difficile"};

// ASCII letters in lower case, "è" and "È" as "e"; other bytes as they are.
std::string Folded(std::string_view text) {
    std::string folded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.substr(i, 2) == "\xC3\xA8" || text.substr(i, 2) == "\xC3\x88") {
            folded += 'e';
            ++i;
        } else {
            const char c = text[i];
            folded += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        }
    }
    return folded;
}

} // namespace

std::string_view GradeName(Grade grade) { return kTexts[static_cast<std::size_t>(grade) - 1]; }

std::optional<Grade> GradeNamed(std::string_view text) {
    for (int g = 1; g <= kGrades; ++g)
        if (Folded(text) == Folded(kTexts[static_cast<std::size_t>(g - 1)])) return static_cast<Grade>(g);
    return std::nullopt;
}

} // namespace korvane
