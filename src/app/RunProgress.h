#pragma once

#include "rules/CopyRule.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

namespace rinvo {

/// What a running copy has done so far: told by the run's helper thread, read by the window for
/// its caption. No counting pass goes before the copy: the counts are what has been done.
class RunProgress
{
public:
    /// 'rows' is how many rows the run goes through: the filled ones.
    explicit RunProgress(std::size_t rows)
        : m_rows(rows)
    { }

    void rowStarted() { m_row.fetch_add(1, std::memory_order_relaxed); }
    void fileCopied(std::uint64_t bytes)
    {
        m_files.fetch_add(1, std::memory_order_relaxed);
        m_bytes.fetch_add(bytes, std::memory_order_relaxed);
    }

    /// Returns the caption: "Rinvo Ver5 - コピー中 3/7 行 12,345 ファイル 1.2 GB".
    std::string caption() const;

private:
    std::size_t m_rows;
    std::atomic<std::size_t> m_row { 0 };
    std::atomic<std::uint64_t> m_files { 0 };
    std::atomic<std::uint64_t> m_bytes { 0 };
};

/// Returns how many rows of the table have both sides filled: the rows a run goes through.
std::size_t filledRows(const CopyRuleTable& rules);

} // namespace rinvo
