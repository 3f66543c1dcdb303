#pragma once

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace rinvo {

class FolderListing;

/// A name that a case-folding destination cannot hold beside an earlier one of the same
/// folder: the listing positions of the later name and of the earlier one.
struct CaseClash
{
    std::uint32_t later;
    std::uint32_t earlier;
};

/// Returns, in listing order of the later name, every entry whose name differs only in case
/// from one the walk meets before it (files come before folders, each in listing order).
/// Only entries for which 'copied' holds take part. Most folders cost one scan of their names.
std::vector<CaseClash> findCaseClashes(
    const FolderListing& listing, const std::function<bool(std::size_t)>& copied);

} // namespace rinvo
