// Qt's own texts (print and file dialogs, message-box buttons) in the program's language.
#pragma once

namespace tarvel {

/// Installs Qt's Traditional Chinese translations (qtbase_zh_TW from Qt's translations folder,
/// Debian's qt6-translations-l10n) into the running application, once, and makes zh_TW the default
/// locale, whatever the desktop's language: every text of the program is Chinese, so its dialogs
/// should be too. Returns whether the translations were found; without them Qt's texts stay in
/// English and nothing else changes.
bool LoadQtTranslations();

}  // namespace tarvel
