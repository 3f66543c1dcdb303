#pragma once

#include "forms/FormLayout.h"

#include <QColor>
#include <QFont>
#include <QString>

namespace rinvo {

/// The font faces the windows name; on systems that lack them, registerFontSubstitutes maps
/// them to metric-compatible free fonts.
inline const QString GothicFace
    = QString::fromUtf8(forms::GothicFace.data(), static_cast<qsizetype>(forms::GothicFace.size()));
inline const QString CenturyFace = QString::fromUtf8(
    forms::CenturyFace.data(), static_cast<qsizetype>(forms::CenturyFace.size()));

/// Maps the named faces to fonts installed by the set-up (IPA P Gothic, C059); call once
/// before any window is made.
void registerFontSubstitutes();

/// Returns a font of the face at the size in points.
QFont makeFont(const QString& face, qreal points, forms::FontWeight weight,
    forms::FontStyle style = forms::FontStyle::Upright);

} // namespace rinvo
