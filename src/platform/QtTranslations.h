#pragma once

// Under a Japanese locale, Qt's own texts (the file chooser, the text boxes' context menus, file
// errors) come from Qt's Japanese translations, so they match the program's Japanese. Under any
// other locale Qt stays in English, the language its texts are written in. Needs the
// application object; returns whether the translations were found and installed.
bool installQtTranslations();
