#pragma once

namespace rinvo {

/// Raises the process's soft limit on open files to its hard limit, so a deep tree is bounded
/// by what the system allows rather than by a cautious default; the walk holds two open
/// folders per level.
void raiseOpenFileLimit();

} // namespace rinvo
