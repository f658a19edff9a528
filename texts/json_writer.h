// JSON text for the command line's output: one writer that puts the commas between members and escapes
// strings, used for the solutions, the explanations and the deduction steps alike.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace korvane {

// `text` (UTF-8) as a JSON string, quotes included.
std::string JsonString(std::string_view text);

// Writes JSON text, putting the commas between the members of objects and arrays. Started without an
// opening bracket, it writes bare members ("a":1,"b":2) for the caller to place inside its own object.
class JsonWriter {
public:
    JsonWriter& open(char bracket) { return separate(), out_ += bracket, first_ = true, *this; }
    JsonWriter& close(char bracket) { return out_ += bracket, first_ = false, *this; }
    JsonWriter& key(std::string_view name) { return value(name), out_ += ':', first_ = true, *this; }
    JsonWriter& value(int n) { return separate(), out_ += std::to_string(n), *this; }
    JsonWriter& value(std::uint64_t n) { return separate(), out_ += std::to_string(n), *this; }
    JsonWriter& value(bool b) { return separate(), out_ += b ? "true" : "false", *this; }
    JsonWriter& value(std::string_view text) { return separate(), out_ += JsonString(text), *this; }
    JsonWriter& value(const char* text) { return value(std::string_view(text)); }
    JsonWriter& null() { return separate(), out_ += "null", *this; }
    std::string take() { return std::move(out_); }

private:
    void separate() {
        if (!first_) out_ += ',';
        first_ = false;
    }
    std::string out_;
    bool first_ = true;
};

} // namespace korvane
