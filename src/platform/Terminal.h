#pragma once

namespace rinvo {

/// The standard streams the command line writes to.
enum class StandardStream {
    Output,
    Error,
};

/// Tells whether the stream is an interactive terminal, where a progress line makes sense.
bool isTerminal(StandardStream stream);

} // namespace rinvo
