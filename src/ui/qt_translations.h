#pragma once

class QCoreApplication;

namespace quintrel {

// Makes Qt's own texts (the file dialogs, the overwrite question, standard buttons) Japanese
// like the rest of the window: loads Qt's Japanese translations from Qt's translations folder,
// or from "translations" beside the program where it is deployed without one. Returns whether
// they were found.
bool InstallQtTranslations(QCoreApplication& application);

}  // namespace quintrel
