#include "window.hpp"

namespace calcview {

std::optional<RunReport> runInWindow(Calculator&, const std::vector<KeyEvent>&,
                                     std::optional<std::uint64_t>, int, const std::string&,
                                     std::string& error) {
    error = "the window is not built yet; use --headless";
    return std::nullopt;
}

}  // namespace calcview
