// The program's own texts (UTF-8 in std::string_view and std::string) as Qt strings.
#pragma once

#include <QString>
#include <string_view>

namespace korvane {

inline QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace korvane
