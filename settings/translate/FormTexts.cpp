#include "settings/translate/FormTexts.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTreeView>
#include <QWidget>

namespace trackmill {
namespace {

class FormTextWalker {
 public:
  FormTextWalker(QWidget* window, const FormTextVisitor& visitor)
      : section_(window->objectName()), menuSection_(QStringLiteral("Menu_") + section_), visitor_(visitor) {}

  QString Text(const QString& key, const QString& current) const { return visitor_(section_, key, current); }
  QString MenuText(const QString& key, const QString& current) const { return visitor_(menuSection_, key, current); }

  void Visit(QObject* object) const {
    const QString name = object->objectName();
    if (name.isEmpty() || name.startsWith(u"qt_")) return;
    if (auto* statusBar = qobject_cast<QStatusBar*>(object)) return VisitStatusBar(statusBar, name);
    if (auto* tabs = qobject_cast<QTabWidget*>(object)) return VisitTabs(tabs, name);
    if (auto* tree = qobject_cast<QTreeView*>(object)) return VisitColumns(tree->model(), name);
    if (auto* table = qobject_cast<QTableView*>(object)) return VisitColumns(table->model(), name);
    if (auto* combo = qobject_cast<QComboBox*>(object)) return VisitComboBox(combo, name);
    if (auto* group = qobject_cast<QGroupBox*>(object)) return group->setTitle(Text(name, group->title()));
    if (auto* button = qobject_cast<QAbstractButton*>(object)) return button->setText(Text(name, button->text()));
    if (auto* label = qobject_cast<QLabel*>(object)) {
      if (qobject_cast<QStatusBar*>(label->parent())) return;  // a status-bar panel, read as such
      return label->setText(Text(name, label->text()));
    }
    if (auto* menu = qobject_cast<QMenu*>(object)) return menu->setTitle(MenuText(name, menu->title()));
    if (auto* action = qobject_cast<QAction*>(object)) {
      if (action->isSeparator()) return;
      return action->setText(MenuText(name, action->text()));
    }
  }

 private:
  void VisitStatusBar(QStatusBar* statusBar, const QString& name) const {
    const QList<QLabel*> panels = statusBar->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
    if (panels.isEmpty()) {
      const QString message = Text(name, statusBar->currentMessage());
      if (message != statusBar->currentMessage()) statusBar->showMessage(message);
      return;
    }
    for (int i = 0; i < panels.size(); ++i) {
      panels[i]->setText(Text(name + QStringLiteral("_Panel") + QString::number(i), panels[i]->text()));
    }
  }

  void VisitTabs(QTabWidget* tabs, const QString& name) const {
    for (int i = 0; i < tabs->count(); ++i) {
      tabs->setTabText(i, Text(name + QStringLiteral("_Page") + QString::number(i), tabs->tabText(i)));
    }
  }

  void VisitColumns(QAbstractItemModel* model, const QString& name) const {
    if (!model) return;
    for (int i = 0; i < model->columnCount(); ++i) {
      const QString current = model->headerData(i, Qt::Horizontal, Qt::DisplayRole).toString();
      const QString text = Text(name + QStringLiteral("_Column") + QString::number(i), current);
      if (text != current) model->setHeaderData(i, Qt::Horizontal, text, Qt::DisplayRole);
    }
  }

  void VisitComboBox(QComboBox* combo, const QString& name) const {
    if (combo->property(kFixedItemsProperty).toBool()) return;
    const QString current = combo->currentText();
    const QString text = Text(name + QStringLiteral("_Text"), current);
    if (text != current) {
      if (combo->isEditable()) {
        combo->setEditText(text);
      } else if (const int index = combo->findText(text); index >= 0) {
        combo->setCurrentIndex(index);
      }
    }
    for (int i = 0; i < combo->count(); ++i) {
      combo->setItemText(i, Text(name + QStringLiteral("_Item") + QString::number(i), combo->itemText(i)));
    }
  }

  QString section_;
  QString menuSection_;
  const FormTextVisitor& visitor_;
};

// Depth-first in creation order: the order the window owns its parts in. Another window
// parented to this one (a dialog, a tool window) has its own section and is not part of it;
// menus are windows too in Qt, but they belong to the window.
void VisitParts(QObject* parent, const FormTextWalker& walker) {
  for (QObject* child : parent->children()) {
    if (auto* widget = qobject_cast<QWidget*>(child); widget && widget->isWindow() && !qobject_cast<QMenu*>(widget)) {
      continue;
    }
    // A tab bar's texts are its tab widget's pages; its scroll buttons are Qt's own.
    if (qobject_cast<QTabBar*>(child)) continue;
    walker.Visit(child);
    VisitParts(child, walker);
  }
}

}  // namespace

void VisitFormTexts(QWidget* window, const FormTextVisitor& visitor) {
  if (!window || window->objectName().isEmpty()) return;
  const FormTextWalker walker(window, visitor);
  window->setWindowTitle(walker.Text(window->objectName(), window->windowTitle()));
  VisitParts(window, walker);
}

}  // namespace trackmill
