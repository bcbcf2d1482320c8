#include "verify/DriveOffsetList.h"

#include <QtEndian>
#include <cstring>

namespace trackmill {
namespace {

QString NameField(const char* field) {
  const size_t length = strnlen(field, kDriveNameBytes);
  QString name;
  name.reserve(qsizetype(length));
  for (size_t i = 0; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(field[i]);
    name += byte >= 0x20 && byte < 0x7F ? QChar(byte) : QChar('?');
  }
  return name;
}

QString Comparable(const QString& name) { return name.simplified().toCaseFolded(); }

}  // namespace

std::vector<DriveOffsetEntry> ReadDriveOffsetList(const QByteArray& data) {
  std::vector<DriveOffsetEntry> list;
  const qsizetype records = data.size() / kDriveOffsetRecordBytes;
  list.reserve(size_t(records));
  for (qsizetype r = 0; r < records; ++r) {
    const char* record = data.constData() + r * kDriveOffsetRecordBytes;
    DriveOffsetEntry entry;
    entry.offsetSamples = qFromLittleEndian<qint16>(record);
    entry.name = NameField(record + kDriveOffsetBytes);
    entry.submissions = qFromLittleEndian<quint32>(record + kDriveOffsetBytes + kDriveNameBytes);
    list.push_back(std::move(entry));
  }
  return list;
}

QString DriveOffsetListName(const QString& vendor, const QString& model) {
  // The list's field holds at most kDriveNameBytes - 1 characters before its NUL.
  return (vendor.trimmed() + QStringLiteral(" - ") + model.trimmed()).left(kDriveNameBytes - 1);
}

std::optional<DriveOffsetEntry> FindDriveOffset(const std::vector<DriveOffsetEntry>& list, const QString& vendor,
                                                const QString& model) {
  const QString wanted = Comparable(DriveOffsetListName(vendor, model));
  std::optional<DriveOffsetEntry> found;
  for (const DriveOffsetEntry& entry : list)
    if (Comparable(entry.name) == wanted && (!found || entry.submissions > found->submissions)) found = entry;
  return found;
}

}  // namespace trackmill
