#pragma once

#include <QString>

class QWidget;

namespace quintrel {

class CHistoryCombo;
class UserInteraction;

// Opens the folder picker on the box's folder and writes the chosen folder into the box; a
// cancelled picker leaves the box as it was. The history is not touched.
void BrowseFolderInto(QWidget* owner, CHistoryCombo& box, const QString& title,
                      UserInteraction& interaction);

}  // namespace quintrel
