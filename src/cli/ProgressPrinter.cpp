#include "ProgressPrinter.h"

#include "texts/Catalogue.h"

#include <ostream>

namespace rinvo {

namespace {

constexpr auto RedrawInterval = std::chrono::milliseconds(100);
constexpr std::size_t MaxShownName = 60;

// Cuts a UTF-8 name to at most 'limit' bytes without splitting a character.
std::string_view shortened(std::string_view name, std::size_t limit)
{
    if (name.size() <= limit)
        return name;
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80)
        --end;
    return name.substr(0, end);
}

} // namespace

ProgressPrinter::ProgressPrinter(std::ostream& out, ProgressLine mode)
    : m_out(out)
    , m_mode(mode)
{ }

void ProgressPrinter::fileCopied(std::string_view name)
{
    ++m_files;
    if (m_mode == ProgressLine::Hidden)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (m_drawn && now - m_lastDraw < RedrawInterval)
        return;
    m_lastDraw = now;
    m_drawn = true;
    m_out << "\r\x1b[K" << cli::progressLine(m_files, shortened(name, MaxShownName)) << std::flush;
}

void ProgressPrinter::finish()
{
    if (m_drawn)
        m_out << "\r\x1b[K" << std::flush;
    m_drawn = false;
}

} // namespace rinvo
