#include "verify/ctdb/Crc32.h"

#include <array>

namespace trackmill::ctdb {
namespace {

constexpr uint32_t kPolynomial = 0xEDB88320u;

constexpr std::array<uint32_t, 256> MakeTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t value = i;
    for (int bit = 0; bit < 8; ++bit) value = (value & 1) ? (value >> 1) ^ kPolynomial : value >> 1;
    table[i] = value;
  }
  return table;
}
constexpr std::array<uint32_t, 256> kTable = MakeTable();

// Eight bytes a step: table k holds the register's change for a byte followed by k zero bytes.
constexpr std::array<std::array<uint32_t, 256>, 8> MakeSlicedTables() {
  std::array<std::array<uint32_t, 256>, 8> tables{};
  tables[0] = kTable;
  for (size_t k = 1; k < 8; ++k)
    for (size_t i = 0; i < 256; ++i)
      tables[k][i] = (tables[k - 1][i] >> 8) ^ kTable[tables[k - 1][i] & 0xFF];
  return tables;
}
constexpr std::array<std::array<uint32_t, 256>, 8> kSliced = MakeSlicedTables();

uint32_t RawUpdate(uint32_t reg, const uint8_t* bytes, size_t count) {
  size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    const uint32_t low = reg ^ (uint32_t(bytes[i]) | uint32_t(bytes[i + 1]) << 8 |
                                uint32_t(bytes[i + 2]) << 16 | uint32_t(bytes[i + 3]) << 24);
    reg = kSliced[7][low & 0xFF] ^ kSliced[6][(low >> 8) & 0xFF] ^ kSliced[5][(low >> 16) & 0xFF] ^
          kSliced[4][low >> 24] ^ kSliced[3][bytes[i + 4]] ^ kSliced[2][bytes[i + 5]] ^
          kSliced[1][bytes[i + 6]] ^ kSliced[0][bytes[i + 7]];
  }
  for (; i < count; ++i) reg = kTable[(reg ^ bytes[i]) & 0xFF] ^ (reg >> 8);
  return reg;
}

// Product of two polynomials modulo the CRC polynomial, bit-reflected (x^0 is the top bit).
uint32_t MultiplyModulo(uint32_t a, uint32_t b) {
  uint32_t product = 0;
  for (uint32_t bit = 1u << 31; bit != 0; bit >>= 1) {
    if (a & bit) product ^= b;
    b = (b & 1) ? (b >> 1) ^ kPolynomial : b >> 1;
  }
  return product;
}

// x^(8 * bytes) modulo the polynomial: what a register is multiplied by over that many zeros.
uint32_t ZeroBytesOperator(uint64_t bytes) {
  static const std::array<uint32_t, 64> squares = [] {
    std::array<uint32_t, 64> powers{};
    powers[0] = 1u << 30;  // x^1
    for (size_t k = 1; k < powers.size(); ++k) powers[k] = MultiplyModulo(powers[k - 1], powers[k - 1]);
    return powers;
  }();
  uint32_t result = 1u << 31;  // x^0
  uint64_t bits = bytes;
  for (size_t k = 3; bits != 0 && k < squares.size(); ++k, bits >>= 1)
    if (bits & 1) result = MultiplyModulo(squares[k], result);
  return result;
}

}  // namespace

uint32_t Crc32Update(uint32_t crc, const uint8_t* bytes, size_t count) {
  return ~RawUpdate(~crc, bytes, count);
}

uint32_t Crc32Combine(uint32_t crcA, uint32_t crcB, uint64_t lengthB) {
  return MultiplyModulo(ZeroBytesOperator(lengthB), crcA) ^ crcB;
}

uint32_t Crc32Delta(const uint8_t* mask, size_t count, uint64_t byteDistance) {
  return MultiplyModulo(ZeroBytesOperator(byteDistance), RawUpdate(0, mask, count));
}

}  // namespace trackmill::ctdb
