#include "tags/TagValue.h"

#include <QList>
#include <limits>

namespace trackmill {

TagValue TagValue::Integer(qint64 number) {
  TagValue v;
  v.kind_ = Kind::Integer;
  v.number_ = number;
  return v;
}

TagValue TagValue::Ansi(const QByteArray& latin1Text) {
  TagValue v;
  v.kind_ = Kind::AnsiString;
  v.ansi_ = latin1Text;
  return v;
}

TagValue TagValue::Ansi(const QString& text) { return Ansi(ToLatin1Text(text)); }

TagValue TagValue::Wide(const QString& text) {
  TagValue v;
  v.kind_ = Kind::WideString;
  v.wide_ = text;
  return v;
}

qint32 TagValue::toInteger() const {
  switch (kind_) {
    case Kind::Integer:
      return static_cast<qint32>(number_);
    case Kind::AnsiString:
    case Kind::WideString: {
      bool ok = false;
      const qint64 n = toWide().trimmed().toLongLong(&ok, 10);
      if (!ok || n < std::numeric_limits<qint32>::min() || n > std::numeric_limits<qint32>::max())
        return 0;
      return static_cast<qint32>(n);
    }
    case Kind::Unassigned:
      break;
  }
  return 0;
}

QByteArray TagValue::toAnsi() const {
  switch (kind_) {
    case Kind::Integer:
      return QByteArray::number(number_);
    case Kind::AnsiString:
      return ansi_;
    case Kind::WideString:
      return ToLatin1Text(wide_);
    case Kind::Unassigned:
      break;
  }
  return {};
}

QString TagValue::toWide() const {
  switch (kind_) {
    case Kind::Integer:
      return QString::number(number_);
    case Kind::AnsiString:
      return QString::fromLatin1(ansi_);
    case Kind::WideString:
      return wide_;
    case Kind::Unassigned:
      break;
  }
  return {};
}

bool operator==(const TagValue& a, const TagValue& b) {
  if (a.isUnassigned() || b.isUnassigned()) return a.isUnassigned() && b.isUnassigned();
  if (a.kind_ == TagValue::Kind::Integer || b.kind_ == TagValue::Kind::Integer)
    return a.kind_ == b.kind_ && a.number_ == b.number_;
  if (a.kind_ == TagValue::Kind::AnsiString && b.kind_ == TagValue::Kind::AnsiString)
    return a.ansi_ == b.ansi_;
  return a.toWide() == b.toWide();
}

QByteArray ToLatin1Text(const QString& text) {
  QByteArray out;
  out.reserve(text.size());
  for (char32_t codePoint : text.toUcs4())
    out.append(codePoint <= 0xFF ? static_cast<char>(codePoint) : '?');
  return out;
}

}  // namespace trackmill
