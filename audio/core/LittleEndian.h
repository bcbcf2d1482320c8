#pragma once
#include <QtEndian>
#include <QtGlobal>

#include <cstring>

// Little-endian byte access for the binary formats of the pipeline. LeView never reads outside
// the bytes it was given: a value that does not fit reads as 0 and marks the view truncated,
// so a parser can read a whole record and check once.
namespace trackmill {

class LeView {
 public:
  LeView(const char* data, qsizetype size) : data_(data), size_(size < 0 ? 0 : size) {}

  bool Has(qsizetype offset, qsizetype count) const {
    return offset >= 0 && count >= 0 && offset <= size_ && count <= size_ - offset;
  }
  quint8 U8(qsizetype offset) const {
    if (!Has(offset, 1)) return Fail<quint8>();
    return static_cast<quint8>(data_[offset]);
  }
  quint16 U16(qsizetype offset) const {
    if (!Has(offset, 2)) return Fail<quint16>();
    return qFromLittleEndian<quint16>(data_ + offset);
  }
  qint16 I16(qsizetype offset) const { return static_cast<qint16>(U16(offset)); }
  quint32 U32(qsizetype offset) const {
    if (!Has(offset, 4)) return Fail<quint32>();
    return qFromLittleEndian<quint32>(data_ + offset);
  }
  bool Equals(qsizetype offset, const void* bytes, qsizetype count) const {
    return Has(offset, count) && std::memcmp(data_ + offset, bytes, static_cast<size_t>(count)) == 0;
  }
  bool Truncated() const { return truncated_; }
  qsizetype Size() const { return size_; }

 private:
  template <typename T>
  T Fail() const {
    truncated_ = true;
    return T(0);
  }

  const char* data_;
  qsizetype size_;
  mutable bool truncated_ = false;
};

inline void PutLe16(char* at, quint16 value) { qToLittleEndian<quint16>(value, at); }
inline void PutLe32(char* at, quint32 value) { qToLittleEndian<quint32>(value, at); }

}  // namespace trackmill
