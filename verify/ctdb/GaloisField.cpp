#include "verify/ctdb/GaloisField.h"

namespace trackmill::ctdb {

GaloisField::GaloisField(int bits, uint32_t polynomial)
    : bits_(bits), size_(1u << bits), exp_(2 * (size_ - 1)), log_(size_, 0) {
  uint32_t value = 1;
  for (uint32_t power = 0; power < Order(); ++power) {
    exp_[power] = value;
    exp_[power + Order()] = value;
    log_[value] = power;
    value <<= 1;
    if (value & size_) value ^= polynomial;
  }
}

const GaloisField& GaloisField::Audio() {
  static const GaloisField field(16, 0x1100B);
  return field;
}

}  // namespace trackmill::ctdb
