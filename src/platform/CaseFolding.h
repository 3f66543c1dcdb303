#pragma once

#include <string>
#include <string_view>

namespace rinvo {

/// Returns the UTF-8 name with every letter in lower case, as a case-folding file system
/// compares names (ASCII, and beyond it the system's Unicode tables). Bytes that are not valid
/// UTF-8 stay as they are.
std::string foldCase(std::string_view name);

/// Tells whether folding could change the name: it holds an ASCII capital or a byte beyond
/// ASCII. A cheap test that spares most names the full fold.
bool mayChangeWhenFolded(std::string_view name);

} // namespace rinvo
