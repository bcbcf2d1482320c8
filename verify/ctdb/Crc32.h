#pragma once
#include <cstddef>
#include <cstdint>

// The ordinary CRC-32 (reflected polynomial 0xEDB88320, register preset and final value
// inverted), with the algebra that lets pieces be joined and corrections be charged to a
// checksum without running over the data again. Pure functions; any thread.
namespace trackmill::ctdb {

// Continues a finished CRC over more bytes: Crc32Update(0, all) is the CRC of all.
uint32_t Crc32Update(uint32_t crc, const uint8_t* bytes, size_t count);

// The CRC of A followed by B from the CRCs of both and B's length in bytes.
uint32_t Crc32Combine(uint32_t crcA, uint32_t crcB, uint64_t lengthB);

// The change of a CRC when `count` bytes at byteDistance bytes before the end of the checked
// range are XORed with `mask`: CRC(data ^ e) = CRC(data) ^ Crc32Delta(e, distance).
uint32_t Crc32Delta(const uint8_t* mask, size_t count, uint64_t byteDistance);

}  // namespace trackmill::ctdb
