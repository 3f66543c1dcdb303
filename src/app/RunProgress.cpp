#include "RunProgress.h"

#include "texts/Catalogue.h"

namespace rinvo {

std::string RunProgress::caption() const
{
    return texts::runningCaption(m_row.load(std::memory_order_relaxed), m_rows,
        m_files.load(std::memory_order_relaxed), m_bytes.load(std::memory_order_relaxed));
}

std::size_t filledRows(const CopyRuleTable& rules)
{
    std::size_t filled = 0;
    for (const CopyRule& rule : rules)
        filled += !rule.source.empty() && !rule.destination.empty() ? 1 : 0;
    return filled;
}

} // namespace rinvo
