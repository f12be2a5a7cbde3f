#include "ui/system_menu.h"

namespace quintrel {

bool AddAboutItemToSystemMenu(QWidget&, const QString&) {
  return false;
}

bool IsAboutSystemCommand(const QByteArray&, void*) {
  return false;
}

}  // namespace quintrel
