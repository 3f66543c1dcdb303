#pragma once

#include <QIcon>

namespace rinvo {

/// Returns the program's icon in every size drawn for it; the windows show it.
QIcon programIcon();

} // namespace rinvo
