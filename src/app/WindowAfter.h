#pragma once

namespace rinvo {

/// What the main window does after a command.
enum class WindowAfter { StaysOpen, Closes };

} // namespace rinvo
