#include "ui/anchor_layout.h"

#include <gtest/gtest.h>

#include <QWidget>

namespace quintrel {
namespace {

class AnchorLayoutTest : public ::testing::Test {
 protected:
  AnchorLayoutTest() {
    m_parent.resize(400, 300);
    for (QWidget*& child : m_children) {
      child = new QWidget(&m_parent);
      child->setGeometry(kStart);
    }
  }

  QWidget& Child(int i) { return *m_children[i]; }

  static constexpr QRect kStart{100, 50, 80, 40};  // right gap 220, bottom gap 210
  QWidget m_parent;
  QWidget* m_children[5] = {};
};

TEST_F(AnchorLayoutTest, FollowsTheRightAndBottomEdges) {
  CAnchorLayout layout;
  layout.AddControl(&Child(0), kAnchorMove, kAnchorKeep);
  layout.AddControl(&Child(1), kAnchorStretch, kAnchorKeep);
  layout.AddControl(&Child(2), kAnchorKeep, kAnchorKeep);
  layout.AddControl(&Child(3), kAnchorKeep, kAnchorMove);
  layout.AddControl(&Child(4), kAnchorStretch, kAnchorStretch);
  layout.MeasureAll();
  m_parent.resize(450, 330);
  layout.ApplyAll();
  EXPECT_EQ(Child(0).geometry(), QRect(150, 50, 80, 40));
  EXPECT_EQ(Child(1).geometry(), QRect(100, 50, 130, 40));
  EXPECT_EQ(Child(2).geometry(), kStart);
  EXPECT_EQ(Child(3).geometry(), QRect(100, 80, 80, 40));
  EXPECT_EQ(Child(4).geometry(), QRect(100, 50, 130, 70));

  // Applying again without a size change moves nothing.
  layout.ApplyAll();
  EXPECT_EQ(Child(0).geometry(), QRect(150, 50, 80, 40));
  EXPECT_EQ(Child(4).geometry(), QRect(100, 50, 130, 70));

  // Back to the measured size restores the starting rectangles; a parent smaller than the
  // measured gaps gives empty, not negative, sizes.
  m_parent.resize(400, 300);
  layout.ApplyAll();
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Child(i).geometry(), kStart) << i;
  m_parent.resize(200, 150);
  layout.ApplyAll();
  EXPECT_EQ(Child(4).geometry(), QRect(kStart.topLeft(), QSize(0, 0)));
}

// A second registration replaces the modes and keeps the measured distances; a control
// without a parent is left alone.
TEST_F(AnchorLayoutTest, ReRegistrationKeepsTheDistancesAndParentlessControlsStay) {
  CAnchorLayout layout;
  layout.AddControl(&Child(0), kAnchorMove, kAnchorMove);
  QWidget orphan;
  orphan.setGeometry(kStart);
  layout.AddControl(&orphan, kAnchorStretch, kAnchorStretch);
  layout.MeasureAll();
  layout.AddControl(&Child(0), kAnchorKeep, kAnchorStretch);
  m_parent.resize(450, 330);
  layout.ApplyAll();
  EXPECT_EQ(Child(0).geometry(), QRect(100, 50, 80, 70));
  EXPECT_EQ(orphan.geometry(), kStart);
}

}  // namespace
}  // namespace quintrel
