#pragma once
#include <cstdint>
#include <vector>

// Arithmetic in GF(2^m) by log and antilog tables, for the Reed-Solomon code that protects a
// disc's audio (m = 16, polynomial 0x1100B) and for small fields in tests. The primitive
// element is x (= 2). Immutable after construction, so any thread may share one instance.
// Elements are plain integers below Size(); zero has no logarithm.
namespace trackmill::ctdb {

class GaloisField {
 public:
  GaloisField(int bits, uint32_t polynomial);

  // The field of the database's parity: GF(2^16) reduced by x^16 + x^12 + x^3 + x + 1.
  static const GaloisField& Audio();

  int Bits() const { return bits_; }
  uint32_t Size() const { return size_; }     // 2^bits
  uint32_t Order() const { return size_ - 1; }  // of the multiplicative group

  uint32_t Multiply(uint32_t a, uint32_t b) const {
    if (a == 0 || b == 0) return 0;
    return exp_[log_[a] + log_[b]];
  }
  // b must not be zero.
  uint32_t Divide(uint32_t a, uint32_t b) const {
    if (a == 0) return 0;
    return exp_[log_[a] + Order() - log_[b]];
  }
  // a must not be zero.
  uint32_t Inverse(uint32_t a) const { return exp_[Order() - log_[a]]; }
  // alpha^power for any integer power, negative ones included.
  uint32_t AlphaPower(int64_t power) const {
    int64_t reduced = power % static_cast<int64_t>(Order());
    if (reduced < 0) reduced += Order();
    return exp_[reduced];
  }
  uint32_t Log(uint32_t a) const { return log_[a]; }

 private:
  int bits_;
  uint32_t size_;
  std::vector<uint32_t> exp_;  // twice the group order long, so sums of logs need no reduction
  std::vector<uint32_t> log_;
};

}  // namespace trackmill::ctdb
