#pragma once

namespace rinvo {

/// Loads Qt's own texts (a text box's menu, a dialog's buttons) in the user's language, where
/// qt6-translations-l10n has them; tells whether it found them.
bool installQtTranslations();

} // namespace rinvo
