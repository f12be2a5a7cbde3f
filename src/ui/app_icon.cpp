#include "ui/app_icon.h"

namespace quintrel {

QIcon AppIcon() {
  QIcon icon;
  icon.addFile(QStringLiteral(":/icons/quintrel-16.png"), QSize(16, 16));
  icon.addFile(QStringLiteral(":/icons/quintrel-32.png"), QSize(32, 32));
  icon.addFile(QStringLiteral(":/icons/quintrel-64.png"), QSize(64, 64));
  return icon;
}

}  // namespace quintrel
