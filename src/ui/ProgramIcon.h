#pragma once

#include <QIcon>

namespace rinvo {

/// Returns the program's icon in every size drawn for it; the windows show it.
QIcon programIcon();

/// Loads Qt's own texts (a text box's menu, a dialog's buttons) in the user's language, where
/// qt6-translations-l10n has them; tells whether it found them.
bool installQtTranslations();

} // namespace rinvo
