#pragma once

#include "forms/FormLayout.h"

#include <QColor>
#include <QFont>

class QWidget;

namespace rinvo {

/// Gives the window its name, caption, default font (the user-interface font at 9 points) and
/// client size from its table; returns the logical DPI its layout converts with.
qreal setUpForm(QWidget* window, const forms::FormLayout& form);

/// Makes every control of the table, in the table's order and so in focus order: named, placed
/// at the DPI, with its text, font, colours, tooltip and accessible name.
void buildControls(QWidget* window, const forms::FormLayout& form, qreal dpi);

/// Returns the Qt font and colour of a table's font and colour.
QFont fontOf(const forms::FontChoice& font);
QColor colourOf(forms::Colour colour);

} // namespace rinvo
