#pragma once

#include <cstddef>
#include <cstdint>

namespace velvane {

struct ResourceBytes {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
};

// A custom resource of the running program, by name and type (letter case does not
// matter); empty data when it is missing. The bytes live as long as the program.
ResourceBytes FindOwnResource(const wchar_t* name, const wchar_t* type);

}  // namespace velvane
