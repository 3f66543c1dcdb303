#pragma once

namespace rinvo {

/// Returns how many threads a copy runs on: 'requested' when it is not 0, else the number the
/// environment variable RINVO_COPY_THREADS gives, else a number chosen from the processors
/// this process may use.
unsigned copyThreadCount(unsigned requested = 0);

} // namespace rinvo
