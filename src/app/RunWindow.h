#pragma once

#include <functional>
#include <string_view>

namespace rinvo {

/// The mouse pointer over the whole program.
enum class Pointer {
    Default,
    /// The busy pointer, while a row is being copied.
    Busy,
};

/// What a window does for a copy run that goes on on a helper thread: the run controller asks
/// for nothing else. Every call but post comes on the window's thread.
class RunWindow
{
public:
    virtual ~RunWindow() = default;

    /// Runs the task on the window's thread soon, after the tasks posted before it; safe to call
    /// from any thread. A window that has gone drops it.
    virtual void post(std::function<void()> task) = 0;
    /// Shows the pointer over the whole program.
    virtual void setPointer(Pointer pointer) = 0;
    /// Sets the window's title.
    virtual void setTitle(std::string_view title) = 0;
    /// Shows the name of the file copied last, and paints it at once.
    virtual void showCurrentFile(std::string_view name) = 0;
};

} // namespace rinvo
