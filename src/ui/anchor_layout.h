#pragma once

#include <map>

class QWidget;

namespace quintrel {

// How a control follows its parent's right (horizontal) or bottom (vertical) edge.
enum AnchorMode { kAnchorKeep = 0, kAnchorMove = 1, kAnchorStretch = 2 };

struct AnchorEntry {
  int horzMode = kAnchorKeep;
  int vertMode = kAnchorKeep;
  int distRight = -1;   // parent client width minus the control's right edge, in pixels
  int distBottom = -1;  // parent client height minus the control's bottom edge
};

// Keeps child controls at the gaps to the parent's right and bottom client edges that they
// had when MeasureAll ran. Does not own the controls; they must outlive the layout's use.
class CAnchorLayout {
 public:
  // Registers a control, or replaces the modes of one already registered (its distances
  // stay). Moves nothing.
  void AddControl(QWidget* control, int horzMode, int vertMode);

  // Measures the gaps of every registered control that has a parent.
  void MeasureAll();

  // Repositions every registered control from its entry and repaints the parent.
  void ApplyAll();

  // The entry of a registered control, or nullptr.
  const AnchorEntry* Find(QWidget* control) const;

 private:
  std::map<QWidget*, AnchorEntry> m_entries;
};

}  // namespace quintrel
