#pragma once

#include <QByteArray>
#include <QString>

class QWidget;

namespace quintrel {

// The about item of the window's system menu, where the platform has such a menu.

// Appends a separator and the item; false where the window menu cannot be extended.
bool AddAboutItemToSystemMenu(QWidget& window, const QString& text);

// True when a native event is the choice of that item.
bool IsAboutSystemCommand(const QByteArray& eventType, void* message);

}  // namespace quintrel
