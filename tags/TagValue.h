#pragma once
#include <QByteArray>
#include <QString>

namespace trackmill {

// One value of a tag container: unassigned, an integer, an 8-bit string or a wide string.
// 8-bit strings are ISO-8859-1 bytes (the character set of ID3 8-bit text); converting a wide
// string to 8-bit turns every character outside ISO-8859-1 into "?". Plain value type.
class TagValue {
 public:
  enum class Kind { Unassigned, Integer, AnsiString, WideString };

  TagValue() = default;
  static TagValue Integer(qint64 number);
  static TagValue Ansi(const QByteArray& latin1Text);
  static TagValue Ansi(const QString& text);  // narrowed to ISO-8859-1
  static TagValue Wide(const QString& text);

  Kind kind() const { return kind_; }
  bool isUnassigned() const { return kind_ == Kind::Unassigned; }
  bool isText() const { return kind_ == Kind::AnsiString || kind_ == Kind::WideString; }

  // Integers: the number; text: the text as a decimal number (surrounding white space
  // allowed), 0 when it is not one or does not fit 32 bits; unassigned: 0.
  qint32 toInteger() const;
  // Integers: decimal text; 8-bit text: its bytes; wide text: narrowed; unassigned: empty.
  QByteArray toAnsi() const;
  // As toAnsi, but wide (8-bit text is widened from ISO-8859-1).
  QString toWide() const;

  // Variant comparison: unassigned equals only unassigned, integers compare by number, texts
  // (of either width) by their characters; an integer never equals a text.
  friend bool operator==(const TagValue& a, const TagValue& b);

 private:
  Kind kind_ = Kind::Unassigned;
  qint64 number_ = 0;
  QByteArray ansi_;
  QString wide_;
};

// ISO-8859-1 form of text, one byte per character (code point), "?" for characters outside.
QByteArray ToLatin1Text(const QString& text);

}  // namespace trackmill
