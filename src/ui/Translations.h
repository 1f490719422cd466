#pragma once

// Qt's own texts in Japanese whatever the system language: the buttons of the message boxes,
// the file dialogs and the colour chooser. Loads qtbase_ja from Qt's translations directory into
// the running application, makes Japanese the default locale and keeps the dialogs Qt's own
// rather than the desktop's native ones; warns and returns false when the translations cannot be
// loaded (Debian ships them in qt6-translations-l10n).
bool InstallQtTranslations();
