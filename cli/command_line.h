// What korvane-solve and korvane-make share of their command lines: the reading of options and operands
// ("--name VALUE" and "--name=VALUE" alike, "--" ending the options, "-" an operand), numbers, and the
// messages on stderr, each after the program's name.
#pragma once

#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::cli {

// "korvane-solve: MESSAGE" on stderr, after whatever stdout holds, so that both read in order on one
// terminal.
inline void PrintError(std::string_view program, std::string_view message) {
    std::fflush(stdout);
    std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(program.size()), program.data(),
                 static_cast<int>(message.size()), message.data());
}

class CommandLine {
public:
    // `usageExit`: the exit code of a usage error.
    CommandLine(std::string_view program, int usageExit, int argc, char** argv)
        : program_(program), usageExit_(usageExit), argc_(argc), argv_(argv) {}

    // The next option's name, "--limit" of "--limit=5", or none once every argument is read; the
    // arguments that are not options are gathered into operands().
    std::optional<std::string_view> next() {
        while (++i_ < argc_) {
            const std::string_view arg = argv_[i_];
            if (optionsEnded_ || !arg.starts_with("-") || arg == "-") {
                operands_.push_back(arg);
                continue;
            }
            if (arg == "--") {
                optionsEnded_ = true;
                continue;
            }
            const std::size_t equals = arg.find('=');
            argument_ = arg;
            value_.reset();
            if (equals != std::string_view::npos) value_ = arg.substr(equals + 1);
            return arg.substr(0, equals);
        }
        return std::nullopt;
    }

    // The whole argument of the option last read, "--limit=5".
    std::string_view argument() const { return argument_; }
    // The option's value: after its "=", or else the argument after it, which it then takes.
    std::optional<std::string_view> takeValue() {
        if (value_) return value_;
        if (i_ + 1 < argc_) return std::string_view(argv_[++i_]);
        return std::nullopt;
    }
    // Whether the option came with "=VALUE", which an option taking none refuses.
    bool hasValue() const { return value_.has_value(); }
    const std::vector<std::string_view>& operands() const { return operands_; }

    // A usage error on stderr: the message, then where to read the usage; returns the exit code.
    int usageError(std::string_view message) const {
        PrintError(program_, message);
        std::fprintf(stderr, "Essayez « %.*s --help ».\n", static_cast<int>(program_.size()), program_.data());
        return usageExit_;
    }
    // --help (or -h) and --version, which both programs answer alike: the exit code once answered (0, or a
    // usage error for "=VALUE"), none for any other option.
    std::optional<int> answerStandard(std::string_view name, std::string_view usage, std::string_view version) const {
        if (name != "--help" && name != "-h" && name != "--version") return std::nullopt;
        if (const int error = refuseValue(name)) return error;
        if (name == "--version")
            std::printf("%.*s %.*s\n", static_cast<int>(program_.size()), program_.data(), static_cast<int>(version.size()),
                        version.data());
        else
            std::fwrite(usage.data(), 1, usage.size(), stdout);
        return 0;
    }
    // 0 for an option that came without "=VALUE", else the usage error saying it takes none.
    int refuseValue(std::string_view name) const {
        return value_ ? usageError("l'option " + std::string(name) + " ne prend pas de valeur") : 0;
    }

private:
    std::string_view program_;
    int usageExit_;
    int argc_;
    char** argv_;
    int i_ = 0;
    bool optionsEnded_ = false;
    std::string_view argument_;
    std::optional<std::string_view> value_;
    std::vector<std::string_view> operands_;
};

// `text` as a whole number within [min, max], or none.
template <typename Number> std::optional<Number> ParseNumber(std::string_view text, Number min, Number max) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < min || value > max) return std::nullopt;
    return value;
}

} // namespace korvane::cli
