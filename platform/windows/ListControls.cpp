// Combo boxes, list boxes and scroll bars.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <algorithm>

#include "platform/windows/ControlHost.h"
#include "platform/windows/QtRuntime.h"
#include "platform/windows/StdCtrls.h"

namespace plat {
namespace {

// A revision no list has, so that the next look takes the items up again.
constexpr uint64_t kNoRevision = ~uint64_t(0);

template <class W>
W* As(const TControl& control) {
  return static_cast<W*>(control.Widget());
}

QStringList ToQStringList(const TStringList& list) {
  QStringList result;
  for (int i = 0; i < list.Count(); ++i) result << ToQString(list.Strings(i));
  return result;
}

// Runs f with the control's own change events silenced.
template <class F>
void Quietly(bool& quiet, F&& f) {
  bool was = quiet;
  quiet = true;
  f();
  quiet = was;
}

}  // namespace

// ---- TComboBox ----

TComboBox::TComboBox(TComponent* owner) : TWinControl(owner) {
  auto combo = std::make_unique<QComboBox>();
  QComboBox* raw = combo.get();
  raw->setEditable(true);
  raw->setInsertPolicy(QComboBox::NoInsert);
  QObject::connect(raw, QOverload<int>::of(&QComboBox::activated), SignalContext(), [this](int) {
    if (!quiet_) GuardEvent([this] { Chosen(); });
  });
  WatchEdits(raw->lineEdit());
  SetWidget(std::move(combo));
  SetControlStyle(ControlStyle() & ~(csClickEvents | csDoubleClicks));
  SetTabStop(true);
  SetColor(clWindow);
  SetBounds(0, 0, 145, 21);
}

TStringList* TComboBox::Items() {
  PostMessage(this, CM_SYNCITEMS);
  return &items_;
}

void TComboBox::WndProc(TMessage& m) {
  if (m.Msg == CM_SYNCITEMS) return SyncItems();
  TWinControl::WndProc(m);
}

void TComboBox::WatchEdits(QLineEdit* edit) {
  QObject::connect(edit, &QLineEdit::textEdited, SignalContext(), [this] {
    if (!quiet_) GuardEvent([this] { Changed(); });
  });
}

void TComboBox::Changed() {
  if (!Loading() && OnChange) OnChange(this);
}

void TComboBox::Chosen() {
  Click();
  Changed();
}

bool TComboBox::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) {
  // Qt itself would step once for every part of a notch a fine wheel sends.
  TWinControl::DoMouseWheel(shift, wheelDelta, mousePos);
  return true;
}

bool TComboBox::DoMouseWheelDown(TShiftState shift, TPoint mousePos) {
  if (!TWinControl::DoMouseWheelDown(shift, mousePos) && ItemIndex() + 1 < items_.Count()) {
    SetItemIndex(ItemIndex() + 1);
    Chosen();
  }
  return true;
}

bool TComboBox::DoMouseWheelUp(TShiftState shift, TPoint mousePos) {
  if (!TWinControl::DoMouseWheelUp(shift, mousePos) && ItemIndex() > 0) {
    SetItemIndex(ItemIndex() - 1);
    Chosen();
  }
  return true;
}

void TComboBox::SyncItems() const {
  if (items_.Revision() == shownRevision_) return;
  shownRevision_ = items_.Revision();
  Quietly(quiet_, [&] {
    auto combo = As<QComboBox>(*this);
    QString edit = combo->currentText();
    combo->clear();
    combo->addItems(ToQStringList(items_));
    combo->setCurrentIndex(-1);
    if (combo->isEditable()) combo->setEditText(edit);
  });
}

void TComboBox::Loaded() {
  TWinControl::Loaded();
  SyncItems();
}

void TComboBox::SetStyle(TComboBoxStyle style) {
  if (style == style_) return;
  style_ = style;
  Quietly(quiet_, [&] {
    auto combo = As<QComboBox>(*this);
    bool wasEditable = combo->isEditable();
    combo->setEditable(style != csDropDownList);
    // Becoming editable makes a new line edit, which needs its own connection.
    if (auto edit = combo->lineEdit(); edit && !wasEditable) WatchEdits(edit);
  });
}

int TComboBox::ItemIndex() const {
  SyncItems();
  return As<QComboBox>(*this)->currentIndex();
}

void TComboBox::SetItemIndex(int index) {
  SyncItems();
  Quietly(quiet_,
          [&] { As<QComboBox>(*this)->setCurrentIndex(index < items_.Count() ? index : -1); });
}

std::string TComboBox::Text() const {
  SyncItems();
  return FromQString(As<QComboBox>(*this)->currentText());
}

void TComboBox::SetText(const std::string& text) {
  SyncItems();
  Quietly(quiet_, [&] {
    auto combo = As<QComboBox>(*this);
    int index = combo->findText(ToQString(text), Qt::MatchFixedString);
    if (combo->isEditable()) {
      combo->setCurrentIndex(index);
      combo->setEditText(ToQString(text));
    } else {
      combo->setCurrentIndex(index);
    }
  });
}

int TComboBox::SelStart() const {
  auto edit = As<QComboBox>(*this)->lineEdit();
  return edit ? edit->cursorPosition() : 0;
}

void TComboBox::SetSelStart(int v) {
  if (auto edit = As<QComboBox>(*this)->lineEdit()) edit->setCursorPosition(v);
}

void TComboBox::SetSorted(bool v) {
  items_.SetSorted(v);
  SyncItems();
}

void TComboBox::SetDropDownCount(int v) {
  dropDownCount_ = v;
  As<QComboBox>(*this)->setMaxVisibleItems(std::max(1, v));
}

void TComboBox::Clear() {
  items_.Clear();
  SyncItems();
  Quietly(quiet_, [&] { As<QComboBox>(*this)->setEditText(QString()); });
}

// ---- TListBox ----

TListBox::TListBox(TComponent* owner) : TWinControl(owner) {
  auto list = std::make_unique<QListWidget>();
  QListWidget* raw = list.get();
  raw->setUniformItemSizes(true);
  QObject::connect(raw, &QListWidget::itemSelectionChanged, SignalContext(), [this] {
    if (quiet_ || Loading()) return;
    pressClicked_ = true;
    GuardEvent([this] { Click(); });
  });
  // A left press on an entry is a click even when that entry was chosen already; the press
  // clicks once, through the change of choice or here.
  QObject::connect(raw, &QAbstractItemView::pressed, SignalContext(), [this] {
    if (quiet_ || Loading() || !leftPress_ || pressClicked_) return;
    pressClicked_ = true;
    GuardEvent([this] { Click(); });
  });
  // A double click on an entry comes after the list has chosen it, so that a handler that
  // deletes the entry leaves nothing chosen behind it.
  QObject::connect(raw, &QAbstractItemView::doubleClicked, SignalContext(), [this] {
    if (!quiet_ && !Loading()) GuardEvent([this] { DblClick(); });
  });
  SetWidget(std::move(list));
  AddInputWidget(raw->viewport());
  SetControlStyle(ControlStyle() & ~(csClickEvents | csDoubleClicks));
  SetTabStop(true);
  SetColor(clWindow);
  SetBounds(0, 0, 121, 97);
  // A list box shows every entry it is given, equal ones too, sorted or not.
  items_.SetDuplicates(dupAccept);
}

QListWidget* TListBox::List() const {
  return As<QListWidget>(*this);
}

int TListBox::BorderInset() const {
  return FrameWidth(*this);
}

TStringList* TListBox::Items() {
  PostMessage(this, CM_SYNCITEMS);
  return &items_;
}

void TListBox::WndProc(TMessage& m) {
  if (m.Msg == CM_SYNCITEMS) return SyncItems();
  // Presses reach the control before the list acts on them.
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      leftPress_ = m.Msg == WM_LBUTTONDOWN;
      pressClicked_ = false;
      break;
    default:
      break;
  }
  TWinControl::WndProc(m);
}

void TListBox::SyncItems() const {
  if (items_.Revision() == shownRevision_) return;
  shownRevision_ = items_.Revision();
  Quietly(quiet_, [&] {
    QListWidget* list = List();
    // The chosen entry stays chosen where it moves to; a deleted one leaves no entry chosen.
    const QListWidgetItem* before = list->currentItem();
    const QString chosen = before ? before->text() : QString();
    const bool selected = before && before->isSelected();
    int current = before ? list->currentRow() : -1;
    list->clear();
    int height = ItemHeight();
    for (int i = 0; i < items_.Count(); ++i) {
      auto item = std::make_unique<QListWidgetItem>(ToQString(items_.Strings(i)));
      item->setSizeHint(QSize(0, height));
      list->addItem(item.release());  // the list takes the item
    }
    if (current >= 0 && (current >= list->count() || list->item(current)->text() != chosen)) {
      const QList<QListWidgetItem*> same = list->findItems(chosen, Qt::MatchExactly);
      current = same.isEmpty() ? -1 : list->row(same.front());
    }
    if (current >= 0) {
      list->setCurrentRow(
          current, selected ? QItemSelectionModel::ClearAndSelect : QItemSelectionModel::NoUpdate);
    } else {
      list->setCurrentRow(-1);
    }
  });
}

void TListBox::Loaded() {
  TWinControl::Loaded();
  SyncItems();
}

void TListBox::ApplyFont() {
  TWinControl::ApplyFont();
  shownRevision_ = kNoRevision;  // rows take the new font's height
  SyncItems();
}

int TListBox::ItemHeight() const {
  return QFontMetrics(List()->font()).height();
}

int TListBox::ItemIndex() const {
  SyncItems();
  QListWidget* list = List();
  int row = list->currentRow();
  return row >= 0 && list->item(row)->isSelected() ? row : (multiSelect_ ? row : -1);
}

void TListBox::SetItemIndex(int index) {
  SyncItems();
  Quietly(quiet_, [&] {
    QListWidget* list = List();
    if (multiSelect_) {
      // In a multiple choice the current item is only the caret; the selection stays.
      list->setCurrentRow(index >= 0 && index < list->count() ? index : -1,
                          QItemSelectionModel::NoUpdate);
    } else if (index < 0 || index >= list->count()) {
      list->clearSelection();
      list->setCurrentRow(-1);
    } else {
      list->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    }
  });
}

void TListBox::SetSorted(bool v) {
  items_.SetSorted(v);
  SyncItems();
}

void TListBox::SetMultiSelect(bool v) {
  multiSelect_ = v;
  List()->setSelectionMode(v ? QAbstractItemView::ExtendedSelection
                             : QAbstractItemView::SingleSelection);
}

bool TListBox::Selected(int index) const {
  SyncItems();
  QListWidgetItem* item = List()->item(index);
  if (!item) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return item->isSelected();
}

void TListBox::SetSelected(int index, bool selected) {
  SyncItems();
  QListWidgetItem* item = List()->item(index);
  if (!item) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  Quietly(quiet_, [&] { item->setSelected(selected); });
}

void TListBox::SetSelectedItems(const std::vector<bool>& selected) {
  SyncItems();
  QListWidget* list = List();
  // Runs of flagged entries as ranges: one selection change, however many entries.
  QItemSelection selection;
  const int count = std::min(list->count(), int(selected.size()));
  for (int first = 0; first < count; ++first) {
    if (!selected[size_t(first)]) continue;
    int last = first;
    while (last + 1 < count && selected[size_t(last + 1)]) ++last;
    selection.select(list->model()->index(first, 0), list->model()->index(last, 0));
    first = last;
  }
  Quietly(quiet_,
          [&] { list->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect); });
}

int TListBox::SelCount() const {
  SyncItems();
  return int(List()->selectedItems().size());
}

void TListBox::DeleteSelected() {
  SyncItems();
  for (int i = items_.Count() - 1; i >= 0; --i)
    if (List()->item(i)->isSelected()) items_.Delete(i);
  SyncItems();
}

void TListBox::Clear() {
  items_.Clear();
  SyncItems();
}

int TListBox::TopIndex() const {
  SyncItems();
  QModelIndex index = List()->indexAt(QPoint(1, 1));
  return index.isValid() ? index.row() : 0;
}

void TListBox::SetTopIndex(int index) {
  SyncItems();
  if (QListWidgetItem* item = List()->item(index))
    List()->scrollToItem(item, QAbstractItemView::PositionAtTop);
}

int TListBox::ItemAtPos(TPoint p, bool existing) const {
  SyncItems();
  if (!ClientRect().Contains(p)) return -1;
  QListWidget* list = List();
  QPoint inWidget(p.X + BorderInset(), p.Y + BorderInset());
  QModelIndex index = list->indexAt(list->viewport()->mapFrom(list, inWidget));
  if (index.isValid()) return index.row();
  return existing ? -1 : list->count();
}

// ---- TScrollBar ----

TScrollBar::TScrollBar(TComponent* owner) : TWinControl(owner) {
  auto bar = std::make_unique<QScrollBar>(Qt::Horizontal);
  QScrollBar* raw = bar.get();
  QObject::connect(raw, &QAbstractSlider::actionTriggered, SignalContext(),
                   [this, raw](int action) {
                     if (quiet_) return;
                     static const std::pair<int, TScrollCode> codes[] = {
                         {QAbstractSlider::SliderSingleStepAdd, scLineDown},
                         {QAbstractSlider::SliderSingleStepSub, scLineUp},
                         {QAbstractSlider::SliderPageStepAdd, scPageDown},
                         {QAbstractSlider::SliderPageStepSub, scPageUp},
                         {QAbstractSlider::SliderToMinimum, scTop},
                         {QAbstractSlider::SliderToMaximum, scBottom},
                         {QAbstractSlider::SliderMove, scTrack},
                     };
                     for (const auto& entry : codes)
                       if (entry.first == action)
                         GuardEvent([&] { Scroll(entry.second, raw->sliderPosition()); });
                   });
  QObject::connect(raw, &QAbstractSlider::sliderReleased, SignalContext(), [this, raw] {
    GuardEvent([&] {
      Scroll(scPosition, raw->sliderPosition());
      Scroll(scEndScroll, position_);
    });
  });
  SetWidget(std::move(bar));
  SetControlStyle(ControlStyle() & ~(csClickEvents | csDoubleClicks));
  SetBounds(0, 0, 121, DefaultBarSize());
  ApplyRange();
}

int TComboBox::ChromeWidth() {
  EnsureQtApplication();
  QStyleOptionComboBox option;
  return QApplication::style()
      ->sizeFromContents(QStyle::CT_ComboBox, &option, QSize(0, 0), nullptr)
      .width();
}

int TScrollBar::DefaultBarSize() {
  EnsureQtApplication();
  return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

void TScrollBar::SetKind(TScrollBarKind kind) {
  if (kind == kind_) return;
  kind_ = kind;
  As<QScrollBar>(*this)->setOrientation(kind == sbVertical ? Qt::Vertical : Qt::Horizontal);
  SetBounds(Left(), Top(), Height(), Width());
}

void TScrollBar::SetPageSize(int v) {
  pageSize_ = std::max(0, v);
  ApplyRange();
}

void TScrollBar::SetSmallChange(int v) {
  smallChange_ = v;
  ApplyRange();
}

void TScrollBar::SetLargeChange(int v) {
  largeChange_ = v;
  ApplyRange();
}

void TScrollBar::SetParams(int position, int min, int max) {
  if (max < min) throw EInvalidOperation("Scroll bar property out of range");
  min_ = min;
  max_ = max;
  position = std::clamp(position, min, max);
  bool changed = position != position_;
  position_ = position;
  ApplyRange();
  if (changed && !Loading() && OnChange) OnChange(this);
}

void TScrollBar::ApplyRange() {
  Quietly(quiet_, [&] {
    auto bar = As<QScrollBar>(*this);
    // The largest position the thumb reaches leaves one page in view.
    int64_t top = std::max<int64_t>(min_, int64_t{max_} - std::max(pageSize_ - 1, 0));
    bar->setRange(min_, static_cast<int>(top));
    bar->setPageStep(pageSize_ > 0 ? pageSize_ : largeChange_);
    bar->setSingleStep(smallChange_);
    bar->setValue(position_);
  });
}

int TScrollBar::TrackPosition() const {
  return As<QScrollBar>(*this)->sliderPosition();
}

void TScrollBar::Scroll(TScrollCode code, int pos) {
  if (OnScroll) OnScroll(this, code, pos);
  if (code != scEndScroll) SetPosition(pos);
}

}  // namespace plat
