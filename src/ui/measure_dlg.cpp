#include "ui/measure_dlg.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QShortcut>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTimer>
#include <QTreeView>

#include "ui/history_combo.h"
#include "ui/report_list_view.h"
#include "ui/result_table_model.h"
#include "ui/settings_store.h"
#include "ui/system_menu.h"
#include "ui/totals_row_layout.h"
#include "ui/ui_texts.h"

namespace quintrel {

namespace {

constexpr int kTemplateWidth = 262;
constexpr int kTemplateHeight = 227;
constexpr int kComboEditHeight = 12;  // dialog units of the closed box
constexpr int kComboMaxHeight = 16;
// A shown window looks for its frame every kFrameCheckMs, at most kFrameChecks times.
constexpr int kFrameCheckMs = 20;
constexpr int kFrameChecks = 100;

QPushButton* MakeButton(QStringView caption, const QRect& rect, QWidget* parent) {
  auto* button = new QPushButton(caption.toString(), parent);
  button->setGeometry(rect);
  return button;
}

// As wide as its caption needs, at least the template's width: the window widens for it when
// its column is too narrow (TemplateClientSize).
QCheckBox* MakeCheckBox(QStringView caption, const QRect& rect, QWidget* parent) {
  auto* box = new QCheckBox(caption.toString(), parent);
  box->setGeometry(rect.adjusted(0, 0, std::max(0, box->sizeHint().width() - rect.width()), 0));
  return box;
}

QLineEdit* MakeTotalEdit(const QRect& rect, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setReadOnly(true);
  edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  edit->setFocusPolicy(Qt::ClickFocus);
  edit->setGeometry(rect);
  return edit;
}

// The width at which `edit` shows `text` whole.
int EditWidthFor(const QLineEdit& edit, const QString& text) {
  constexpr int kSideMargin = 2;  // the line edit's own, each side of its text
  const QMargins margins = edit.textMargins();
  QStyleOptionFrame option;
  option.initFrom(&edit);
  option.lineWidth = edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &edit);
  const QSize text_size(edit.fontMetrics().horizontalAdvance(text) + 2 * kSideMargin +
                            margins.left() + margins.right() + 1,  // the cursor's pixel
                        edit.fontMetrics().height());
  return edit.style()->sizeFromContents(QStyle::CT_LineEdit, &option, text_size, &edit).width();
}

}  // namespace

CMeasureDlg::CMeasureDlg(QSettings& settings, UserInteraction& interaction, FileLauncher& launcher,
                         QWidget* parent)
    : QDialog(parent), m_settings(settings), m_interaction(interaction), m_launcher(launcher) {
  setWindowTitle(kMainCaption.toString());
  // Customised, so that the window manager leaves out the minimise and maximise buttons.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setSizeGripEnabled(false);
  setFont(DialogFont());
  m_units = ComputeBaseUnits(QFontMetrics(font()));
  CreateControls();
  resize(TemplateClientSize());
  setMinimumSize(TemplateClientSize());
  m_frameCheck.setInterval(kFrameCheckMs);
  connect(&m_frameCheck, &QTimer::timeout, this, &CMeasureDlg::CheckFrame);
  new QShortcut(QKeySequence::HelpContents, this, this, &CMeasureDlg::ShowAbout);
}

CMeasureDlg::~CMeasureDlg() = default;

QSize CMeasureDlg::TemplateClientSize() const {
  QSize size = DialogSize(m_units, kTemplateWidth, kTemplateHeight);
  // The template widens where a check box's caption needs more than the column.
  for (const QCheckBox* box : {m_subfoldersBox, m_ignoreFormatBox}) {
    if (box == nullptr) continue;
    const int right = box->geometry().right() + 1 + DialogSize(m_units, 1, 0).width();
    size.setWidth(std::max(size.width(), right));
  }
  return size;
}

void CMeasureDlg::CreateControls() {
  const auto du = [this](int x, int y, int w, int h) { return DialogRect(m_units, x, y, w, h); };
  m_oldFolderBox = new CHistoryCombo(this);
  m_newFolderBox = new CHistoryCombo(this);
  const int comboHeight = std::min(
      std::max(du(0, 0, 0, kComboEditHeight).height(), m_oldFolderBox->sizeHint().height()),
      du(0, 0, 0, kComboMaxHeight).height());
  m_oldFolderBox->setGeometry(du(39, 5, 141, 0).adjusted(0, 0, 0, comboHeight));
  m_newFolderBox->setGeometry(du(39, 22, 141, 0).adjusted(0, 0, 0, comboHeight));
  m_browseOldButton = MakeButton(kBrowseOldButton, du(184, 5, 30, 14), this);
  m_browseNewButton = MakeButton(kBrowseNewButton, du(184, 21, 30, 14), this);
  m_measureButton = MakeButton(kMeasureButton, du(218, 6, 43, 14), this);
  m_measureButton->setDefault(true);
  m_saveButton = MakeButton(kSaveButton, du(218, 39, 43, 14), this);
  // The options sit in the free space of the button column, the subfolder box between the
  // two buttons, the layout box below them; toggling one only sets up the next run.
  m_subfoldersBox = MakeCheckBox(kSubfoldersCheck, du(218, 24, 43, 10), this);
  m_ignoreFormatBox = MakeCheckBox(kIgnoreFormatCheck, du(218, 57, 43, 10), this);
  // The button of the options beyond the check boxes ends the column.
  m_optionsButton = MakeButton(kOptionsButton, du(218, 71, 43, 14), this);
  CreateList();
  CreateTotalsRow();
  m_oldLabel = new QLabel(kOldFolderLabel.toString(), this);
  m_oldLabel->setGeometry(du(6, 7, 28, 8));
  m_newLabel = new QLabel(kNewFolderLabel.toString(), this);
  m_newLabel->setGeometry(du(6, 25, 28, 8));
  m_totalLabel = new QLabel(kTotalLabel.toString(), this);
  m_totalLabel->setGeometry(du(15, 215, 17, 8));

  // Tab order is the template order, with the list after the folder boxes, so that the
  // keyboard reaches the rows and their menu.
  setTabOrder(m_oldFolderBox, m_newFolderBox);
  setTabOrder(m_newFolderBox, m_list);
  setTabOrder(m_list, m_browseOldButton);
  setTabOrder(m_browseOldButton, m_browseNewButton);
  setTabOrder(m_browseNewButton, m_measureButton);
  setTabOrder(m_measureButton, m_subfoldersBox);
  setTabOrder(m_subfoldersBox, m_saveButton);
  setTabOrder(m_saveButton, m_ignoreFormatBox);
  setTabOrder(m_ignoreFormatBox, m_optionsButton);

  connect(m_measureButton, &QPushButton::clicked, this, &CMeasureDlg::RunMeasurement);
  connect(m_saveButton, &QPushButton::clicked, this, &CMeasureDlg::SaveReport);
  connect(m_browseOldButton, &QPushButton::clicked, this, &CMeasureDlg::OnBrowseOld);
  connect(m_browseNewButton, &QPushButton::clicked, this, &CMeasureDlg::OnBrowseNew);
  connect(m_optionsButton, &QPushButton::clicked, this, &CMeasureDlg::OnOptions);
}

void CMeasureDlg::CreateList() {
  m_rows = new ResultTableModel(this);
  m_list = new QTreeView(this);
  m_list->setModel(m_rows);
  m_list->setGeometry(DialogRect(m_units, 6, 39, 208, 168));
  // The arrow shows the column the rows are sorted by; none while in catalogue order.
  SetUpReportList(*m_list);
  m_list->setFocusPolicy(Qt::StrongFocus);
  m_list->header()->setMinimumSectionSize(4);
  // The selection stays as visible as with focus, so the rows a command works on show.
  QPalette palette = m_list->palette();
  for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
    palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
  }
  m_list->setPalette(palette);
  connect(m_list->header(), &QHeaderView::sectionClicked, this, &CMeasureDlg::OnColumnClickList);
  // The totals row follows the columns.
  connect(m_list->header(), &QHeaderView::sectionResized, this, &CMeasureDlg::PlaceTotalsRow);
  connect(m_list->header(), &QHeaderView::sectionResized, this, [this](int column) {
    if (column == kColumnName && !m_sizingColumns) m_nameWidthChosen = true;
  });
  connect(m_list->horizontalScrollBar(), &QScrollBar::valueChanged, this,
          &CMeasureDlg::PlaceTotalsRow);
  connect(m_list, &QAbstractItemView::doubleClicked, this, &CMeasureDlg::OnDblClkList);
}

void CMeasureDlg::CreateTotalsRow() {
  m_fileCountEdit = MakeTotalEdit(DialogRect(m_units, 36, 211, 58, 14), this);
  m_addedEdit = MakeTotalEdit(DialogRect(m_units, 97, 211, 32, 14), this);
  m_deletedEdit = MakeTotalEdit(DialogRect(m_units, 132, 211, 32, 14), this);
  m_locEdit = MakeTotalEdit(DialogRect(m_units, 167, 211, 32, 14), this);
  UpdateData();
}

// Along the x axis the totals row stands under the list's columns (its controls move down
// with the bottom edge by their anchors).
void CMeasureDlg::PlaceTotalsRow() {
  if (m_totalLabel == nullptr) return;  // while the controls are made
  // From the list's own geometry: its viewport is laid out only after this resize.
  const QHeaderView* header = m_list->header();
  const QScrollBar* scrollBar = m_list->verticalScrollBar();
  TotalsRowSpace space;
  const int inset = m_list->viewport()->x();  // the frame; it does not change with the size
  space.listLeft = m_list->x() + inset;
  space.listRight = m_list->geometry().right() + 1 - inset -
                    (scrollBar->isVisibleTo(m_list) ? scrollBar->width() : 0);
  for (int i = 0; i < 3; ++i) {
    const int column = kColumnAdded + i;
    space.columnRights[i] =
        space.listLeft + header->sectionViewportPosition(column) + header->sectionSize(column);
  }
  const auto du = [this](int width) { return DialogSize(m_units, width, 0).width(); };
  space.labelOffset = du(9);
  space.labelWidth = du(17);
  space.labelGap = du(4);
  space.boxGap = du(3);
  // Each number box spans its column but for the gap, wider where its text needs it; the
  // file count box is at least as wide as in the template.
  space.countWidth = std::max(du(58), EditWidthFor(*m_fileCountEdit, m_fileCountEdit->text()));
  const std::array<QLineEdit*, 3> numbers{m_addedEdit, m_deletedEdit, m_locEdit};
  for (int i = 0; i < 3; ++i) {
    space.numberWidths[i] = std::max(header->sectionSize(kColumnAdded + i) - space.boxGap,
                                     EditWidthFor(*numbers[i], numbers[i]->text()));
  }
  const TotalsRowSpans spans = quintrel::PlaceTotalsRow(space);
  const std::array<QWidget*, 5> row{m_totalLabel, m_fileCountEdit, m_addedEdit, m_deletedEdit,
                                    m_locEdit};
  for (std::size_t i = 0; i < row.size(); ++i) {
    const QRect now = row[i]->geometry();
    row[i]->setGeometry(spans[i].x, now.y(), spans[i].width, now.height());
  }
}

void CMeasureDlg::RegisterAnchors() {
  for (int id : {kIdTotalLabel, kIdFileCount, kIdTotalAdded, kIdTotalDeleted, kIdTotalLoc}) {
    m_anchors.AddControl(Control(id), kAnchorMove, kAnchorMove);
  }
  m_anchors.AddControl(m_measureButton, kAnchorMove, kAnchorKeep);
  m_anchors.AddControl(m_saveButton, kAnchorMove, kAnchorKeep);
  m_anchors.AddControl(m_subfoldersBox, kAnchorMove, kAnchorKeep);
  m_anchors.AddControl(m_ignoreFormatBox, kAnchorMove, kAnchorKeep);
  m_anchors.AddControl(m_optionsButton, kAnchorMove, kAnchorKeep);
  m_anchors.AddControl(m_list, kAnchorStretch, kAnchorStretch);
  m_anchors.AddControl(m_oldFolderBox, kAnchorStretch, kAnchorKeep);
  m_anchors.AddControl(m_newFolderBox, kAnchorStretch, kAnchorKeep);
  m_anchors.AddControl(m_browseOldButton, kAnchorMove, kAnchorKeep);
  m_anchors.AddControl(m_browseNewButton, kAnchorMove, kAnchorKeep);
  m_anchors.MeasureAll();
}

QWidget* CMeasureDlg::Control(int controlId) const {
  switch (controlId) {
    case kIdOk:
      return m_measureButton;
    case kIdOldFolder:
      return m_oldFolderBox;
    case kIdNewFolder:
      return m_newFolderBox;
    case kIdList:
      return m_list;
    case kIdTotalAdded:
      return m_addedEdit;
    case kIdTotalDeleted:
      return m_deletedEdit;
    case kIdTotalLoc:
      return m_locEdit;
    case kIdBrowseOld:
      return m_browseOldButton;
    case kIdBrowseNew:
      return m_browseNewButton;
    case kIdTotalLabel:
      return m_totalLabel;
    case kIdSave:
      return m_saveButton;
    case kIdFileCount:
      return m_fileCountEdit;
    case kIdSubfolders:
      return m_subfoldersBox;
    case kIdIgnoreFormat:
      return m_ignoreFormatBox;
    case kIdOptions:
      return m_optionsButton;
    default:
      return nullptr;
  }
}

void CMeasureDlg::OnInitDialog() {
  m_aboutInSystemMenu = AddAboutItemToSystemMenu(*this, kMenuAbout.toString());
  RegisterAnchors();
  // No frame is known before the window is first shown, so there is no outer size to offer
  // as the default: without a usable stored size the window keeps its template size.
  const StoredSettings stored = LoadSettings(m_settings, QString());
  m_oldFolderBox->LoadHistoryString(stored.oldFolder);
  m_newFolderBox->LoadHistoryString(stored.newFolder);
  m_subfoldersBox->setChecked(stored.recursive);
  m_ignoreFormatBox->setChecked(stored.ignoreFormat);
  m_measureOptions = stored.options;
  RestoreWindowInfo(stored.windowInfo);
  // A long first run shows its progress over the window, which must be there first.
  m_startUpRunPending = true;
}

void CMeasureDlg::RunStartUpMeasurement() {
  if (!m_startUpRunPending) return;
  m_startUpRunPending = false;
  m_inStartUpRun = true;
  // The progress window takes the focus from a folder box, which must not commit the stored
  // text again: the histories come back as they were stored.
  for (CHistoryCombo* box : {m_oldFolderBox, m_newFolderBox}) box->SetCommitOnKillFocus(false);
  RunMeasurement();
  for (CHistoryCombo* box : {m_oldFolderBox, m_newFolderBox}) box->SetCommitOnKillFocus(true);
  m_inStartUpRun = false;
}

void CMeasureDlg::SetFrameSource(std::function<QSize()> source) {
  m_frameSource = std::move(source);
}

QSize CMeasureDlg::ReportedFrame() const {
  const QSize frame = m_frameSource ? m_frameSource() : frameGeometry().size() - size();
  // While the window is being managed the reported frame can be missing or briefly wrong;
  // only a plausible one counts.
  const bool plausible = !frame.isNull() && frame.width() >= 0 && frame.height() >= 0 &&
                         frame.width() * 4 <= width() && frame.height() * 4 <= height();
  return plausible ? frame : QSize();
}

QSize CMeasureDlg::KnownFrameOrNone() const {
  const QSize now = ReportedFrame();
  if (now.isValid()) return now;
  return m_knownFrame.isValid() ? m_knownFrame : QSize(0, 0);
}

bool CMeasureDlg::NoteFrame() {
  const QSize frame = ReportedFrame();
  if (frame.isValid()) m_knownFrame = frame;
  return frame.isValid();
}

QSize CMeasureDlg::OuterSize() const {
  return size() + KnownFrameOrNone();
}

void CMeasureDlg::RestoreWindowInfo(const QString& text) {
  const WindowInfo defaults{QSize(), kDefaultColumnWidths};  // the size stays as it is
  const QScreen* screen =
      this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
  const QSize available =
      screen != nullptr ? screen->availableGeometry().size() : QSize(4096, 4096);
  const WindowLimits limits{TemplateClientSize() + KnownFrameOrNone(), available,
                            available.width()};
  const WindowInfo info = ParseWindowInfo(text, defaults, limits);
  if (info.outerSize.isValid()) ApplyOuterSize(info.outerSize);
  m_sizingColumns = true;
  for (int i = 0; i < kColumnCount; ++i) {
    m_list->header()->resizeSection(i, info.columnWidths[i]);
  }
  m_sizingColumns = false;
  m_nameWidthChosen = info.columnWidths != kDefaultColumnWidths;
}

void CMeasureDlg::ApplyOuterSize(QSize outer) {
  resize(outer - KnownFrameOrNone());
  m_pendingOuterSize = outer;
  m_appliedClientSize = size();
  // A hidden window gets its resize event only when shown; place the controls now.
  m_anchors.ApplyAll();
  PlaceTotalsRow();
}

WindowInfo CMeasureDlg::CurrentWindowInfo() const {
  WindowInfo info{OuterSize(), {}};
  for (int i = 0; i < kColumnCount; ++i) {
    info.columnWidths[i] = m_list->header()->sectionSize(i);
  }
  return info;
}

void CMeasureDlg::SaveWindowSettings() {
  SaveSettings(
      m_settings,
      StoredSettings{m_oldFolderBox->GetHistoryString(), m_newFolderBox->GetHistoryString(),
                     FormatWindowInfo(CurrentWindowInfo()), m_subfoldersBox->isChecked(),
                     m_ignoreFormatBox->isChecked(), m_measureOptions});
}

void CMeasureDlg::accept() {
  RunMeasurement();
}

void CMeasureDlg::reject() {
  if (m_job != nullptr) return;  // the progress window is modal; close only between runs
  if (!m_closing) {
    m_closing = true;
    SaveWindowSettings();
  }
  QDialog::reject();
}

void CMeasureDlg::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  m_anchors.ApplyAll();
  PlaceTotalsRow();
}

void CMeasureDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // The window manager's frame becomes known some time after the window is mapped (on X11
  // once the manager has reparented it), and no event of the window need follow: look for
  // it until it shows. A platform that reports no frame needs nothing more.
  m_frameChecksLeft = kFrameChecks;
  m_frameCheck.start();
  CheckFrame();
  // After the window's first paint.
  if (m_startUpRunPending) QTimer::singleShot(0, this, &CMeasureDlg::RunStartUpMeasurement);
}

void CMeasureDlg::moveEvent(QMoveEvent* event) {
  QDialog::moveEvent(event);
  // Being framed moves the client area, also after the checks have given up.
  if (isVisible() && NoteFrame()) SettlePendingOuterSize();
}

void CMeasureDlg::CheckFrame() {
  if (NoteFrame()) {
    m_frameCheck.stop();
    SettlePendingOuterSize();
  } else if (!isVisible() || --m_frameChecksLeft < 0) {
    m_frameCheck.stop();
  }
}

// Fits the client area to a restored outer size once the frame is known, so that a size
// saved and restored stays the same; a window resized in the meantime keeps its size.
void CMeasureDlg::SettlePendingOuterSize() {
  if (!m_pendingOuterSize.isValid()) return;
  const QSize client = m_pendingOuterSize - m_knownFrame;
  m_pendingOuterSize = QSize();
  if (size() == m_appliedClientSize && size() != client) resize(client);
}

bool CMeasureDlg::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
  if (IsAboutSystemCommand(eventType, message)) {
    ShowAbout();
    *result = 0;
    return true;
  }
  return QDialog::nativeEvent(eventType, message, result);
}

}  // namespace quintrel
