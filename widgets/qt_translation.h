#pragma once
// Qt's own texts (file and colour dialogs, standard buttons) in the program's language.

#include "session/language.h"

class QCoreApplication;
class QTranslator;

// Installs Qt's translation for `language` (0 Japanese) and returns it, owned by `app`; null when the
// language needs none (English) or the translation is missing.
QTranslator *InstallQtTranslation(QCoreApplication &app, int language = LanguageIndex);
