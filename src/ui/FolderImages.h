#pragma once

#include <QPixmap>

namespace rinvo {

/// The folder selection tree's node images: 1, an open yellow folder (18 × 16 pixels), and 2,
/// a closed yellow folder (18 × 15 pixels).
QPixmap folderImage(int image);

} // namespace rinvo
