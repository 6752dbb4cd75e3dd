#pragma once

class QTranslator;

// Loads Qt's own Japanese texts (qtbase_ja) into `translator`, so that the
// standard dialogs speak the program's language, whatever the user's locale:
// a file dialog's buttons, for example, change their text while a folder is
// highlighted. False when the translation is not installed.
bool LoadQtTranslations(QTranslator& translator);
