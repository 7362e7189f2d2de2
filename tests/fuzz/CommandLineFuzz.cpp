// Fuzz target: the command-line reader, any text up to 64 KB (two bytes a character).
// Nothing may crash or hang; the images it returns are pieces of the text that name
// files; every value lies in its range: opacity at most 100, a size factor above 0.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velvane;
    if (size > 65536) return 0;
    std::wstring text;
    for (std::size_t i = 0; i + 1 < size; i += 2) text.push_back(static_cast<wchar_t>(data[i] | data[i + 1] << 8));
    // Any piece ending in ".png" is a file here.
    const auto exists = [](const std::wstring& piece) { return piece.size() >= 4 && piece.compare(piece.size() - 4, 4, L".png") == 0; };
    const SwitchReading reading = ReadSwitches(text, exists);
    for (const std::wstring& image : reading.imageFiles)
        if (!exists(image) || text.find(image) == std::wstring::npos) std::abort();
    if (const auto values = ReadValues(reading.commandText))
        if (values->opacity > 100 || !(values->sizeFactor > 0) || !std::isfinite(values->sizeFactor)) std::abort();
    return 0;
}
