#pragma once

#include <chrono>
#include <cstdint>
#include <iosfwd>
#include <string_view>

namespace rinvo {

/// Whether the command line redraws a progress line while it copies.
enum class ProgressLine {
    Hidden,
    Shown,
};

/// Redraws one terminal line with the counts and the last copied file, a few times a second.
class ProgressPrinter
{
public:
    ProgressPrinter(std::ostream& out, ProgressLine mode);

    /// Notes a copied file; redraws when the last redraw is old enough.
    void fileCopied(std::string_view name);
    /// Clears the line, so the summary starts on a clean one.
    void finish();

private:
    std::ostream& m_out;
    ProgressLine m_mode;
    bool m_drawn = false;
    std::uint64_t m_files = 0;
    std::chrono::steady_clock::time_point m_lastDraw;
};

} // namespace rinvo
