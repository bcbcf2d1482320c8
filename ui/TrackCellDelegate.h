#pragma once
#include <QPersistentModelIndex>
#include <QPointer>
#include <QStyledItemDelegate>
#include <functional>

// Edits the track list's cells in place, the way a list of titles is typed in: only the
// columns given are edited; Enter commits the cell and hands its index to moveOn (the list
// goes on to the next track's same cell); Escape leaves the cell as it was; losing the focus
// commits. The view calls it; main thread only.
namespace trackmill {

class TTrackCellDelegate : public QStyledItemDelegate {
 public:
  using MoveOn = std::function<void(const QModelIndex& committed)>;
  TTrackCellDelegate(QList<int> editableColumns, MoveOn moveOn, QObject* parent);

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  // Commits the cell being edited, if any: the list is about to be saved, read or rebuilt.
  void CommitOpenEditor();

 protected:
  bool eventFilter(QObject* object, QEvent* event) override;

 private:
  QList<int> editableColumns_;
  MoveOn moveOn_;
  mutable QPointer<QWidget> editor_;          // the open editor
  mutable QPersistentModelIndex editedCell_;  // and its cell
};

}  // namespace trackmill
