#include "Fonts.h"

namespace rinvo {

void registerFontSubstitutes()
{
    // IPA P Gothic has the proportional metrics of the Japanese face; C059 (a Century
    // Schoolbook design) and TeX Gyre Schola stand in for Century.
    QFont::insertSubstitutions(GothicFace,
        { QStringLiteral("IPAPGothic"), QStringLiteral("IPA Pゴシック"),
            QStringLiteral("Noto Sans CJK JP") });
    QFont::insertSubstitutions(CenturyFace,
        { QStringLiteral("C059"), QStringLiteral("TeX Gyre Schola"),
            QStringLiteral("Century Schoolbook L") });
}

QFont makeFont(const QString& face, qreal points, forms::FontWeight weight, forms::FontStyle style)
{
    QFont font(face);
    font.setPointSizeF(points);
    font.setBold(weight == forms::FontWeight::Bold);
    font.setItalic(style == forms::FontStyle::Italic);
    return font;
}

} // namespace rinvo
