#include "ui/TrackCellDelegate.h"

#include <QKeyEvent>

namespace trackmill {

TTrackCellDelegate::TTrackCellDelegate(QList<int> editableColumns, MoveOn moveOn, QObject* parent)
    : QStyledItemDelegate(parent), editableColumns_(std::move(editableColumns)), moveOn_(std::move(moveOn)) {
  connect(this, &QAbstractItemDelegate::closeEditor, this, [this] { editor_ = nullptr; });
}

QWidget* TTrackCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                          const QModelIndex& index) const {
  // No editor: the view goes on as without an edit (typing searches the list).
  if (!editableColumns_.contains(index.column())) return nullptr;
  editor_ = QStyledItemDelegate::createEditor(parent, option, index);
  editedCell_ = index;
  return editor_;
}

void TTrackCellDelegate::CommitOpenEditor() {
  if (editor_) emit commitData(editor_);
}

bool TTrackCellDelegate::eventFilter(QObject* object, QEvent* event) {
  auto* editor = qobject_cast<QWidget*>(object);
  if (editor && editor == editor_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      // At once, not later as the base class does: the next cell opens after this one closed.
      const QModelIndex committed = editedCell_;
      emit commitData(editor);
      emit closeEditor(editor, QAbstractItemDelegate::NoHint);
      if (committed.isValid() && moveOn_) moveOn_(committed);
      return true;
    }
  }
  return QStyledItemDelegate::eventFilter(object, event);
}

}  // namespace trackmill
