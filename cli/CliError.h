// A failure of a ravo command, with the one-line reason the user sees.
#pragma once

#include <stdexcept>
#include <string>

namespace ravo {

class CliError : public std::runtime_error {
public:
    explicit CliError(const std::string& reason) : std::runtime_error(reason) {}
};

}  // namespace ravo
