#include "ui/folder_picker.h"

#include "ui/history_combo.h"
#include "ui/user_interaction.h"

namespace quintrel {

void BrowseFolderInto(QWidget* owner, CHistoryCombo& box, const QString& title,
                      UserInteraction& interaction) {
  const std::optional<QString> chosen = interaction.ChooseFolder(owner, title, box.GetText());
  if (chosen) box.SetText(*chosen);
}

}  // namespace quintrel
