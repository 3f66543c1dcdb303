#pragma once

namespace rinvo {

/// Returns how many processors this process may run on (at least 1).
unsigned usableProcessorCount();

} // namespace rinvo
