#include "ui/anchor_layout.h"

#include <algorithm>

#include <QRect>
#include <QWidget>

namespace quintrel {

namespace {

// Applies one axis: `low`/`high` are the control's edges, `limit` the parent's client
// extent, `gap` the measured distance to it.
void ApplyAxis(int mode, int limit, int gap, int& low, int& high) {
  if (mode == kAnchorKeep) return;
  const int newHigh = limit - gap;
  if (mode == kAnchorMove) low += newHigh - high;
  high = newHigh;
}

}  // namespace

void CAnchorLayout::AddControl(QWidget* control, int horzMode, int vertMode) {
  AnchorEntry& entry = m_entries[control];
  entry.horzMode = horzMode;
  entry.vertMode = vertMode;
}

void CAnchorLayout::MeasureAll() {
  for (auto& [control, entry] : m_entries) {
    const QWidget* parent = control->parentWidget();
    if (parent == nullptr) continue;
    const QRect r = control->geometry();
    entry.distRight = parent->width() - (r.x() + r.width());
    entry.distBottom = parent->height() - (r.y() + r.height());
  }
}

void CAnchorLayout::ApplyAll() {
  QWidget* repaintParent = nullptr;
  for (const auto& [control, entry] : m_entries) {
    QWidget* parent = control->parentWidget();
    if (parent == nullptr) continue;
    const QRect r = control->geometry();
    int left = r.x(), right = r.x() + r.width();
    int top = r.y(), bottom = r.y() + r.height();
    ApplyAxis(entry.horzMode, parent->width(), entry.distRight, left, right);
    ApplyAxis(entry.vertMode, parent->height(), entry.distBottom, top, bottom);
    // A parent made smaller than the layout allows gives an empty control, not a negative
    // size that the window system might interpret differently.
    control->setGeometry(left, top, std::max(0, right - left), std::max(0, bottom - top));
    if (repaintParent == nullptr) repaintParent = parent;
  }
  if (repaintParent != nullptr) repaintParent->update();
}

const AnchorEntry* CAnchorLayout::Find(QWidget* control) const {
  const auto it = m_entries.find(control);
  return it == m_entries.end() ? nullptr : &it->second;
}

}  // namespace quintrel
