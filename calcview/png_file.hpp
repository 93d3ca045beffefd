#pragma once
// Writing an RGB picture as a PNG file (libpng), through a temporary file that
// replaces FILE only when it is complete.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace calcview {

/// `rgb` holds `height` rows of `width` pixels, three bytes each. false with
/// `error` naming the file and the cause.
bool writePng(const std::filesystem::path& path, int width, int height,
              const std::vector<std::uint8_t>& rgb, std::string& error);

}  // namespace calcview
