#pragma once
// Qt's own texts (the file dialog, a line edit's context menu, standard buttons) in Russian, like the rest of
// the interface, whatever the user's locale.

// Installs Qt's Russian translation when the system has it (Debian's qt6-translations-l10n); without it Qt's
// texts stay English. Needs the application object.
void loadToolkitTranslation();
