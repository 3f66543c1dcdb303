#include "ProgramIcon.h"

// The resources of a static library are registered by hand, outside any namespace.
static void registerIconResources()
{
    Q_INIT_RESOURCE(icons);
}

namespace rinvo {

QIcon programIcon()
{
    static const bool registered = (registerIconResources(), true);
    Q_UNUSED(registered);
    QIcon icon;
    for (int size : { 16, 32, 48, 64, 128, 256 })
        icon.addFile(QStringLiteral(":/rinvo/rinvo-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace rinvo
