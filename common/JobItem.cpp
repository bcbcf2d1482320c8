#include "common/JobItem.h"

namespace trackmill {

JobItem JobItem::Track(int track, const QString& title) { return JobItem{track, title, {}, {}, {}, {}, {}}; }

JobItem JobItem::File(const QString& path) { return JobItem{0, {}, path, {}, {}, {}, {}}; }

JobItems FileItems(const QStringList& paths) {
  JobItems items;
  items.reserve(size_t(paths.size()));
  for (const QString& path : paths) items.push_back(JobItem::File(path));
  return items;
}

}  // namespace trackmill
