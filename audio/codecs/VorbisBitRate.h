#pragma once
#include <cstdint>

// The bit-rate choices of the Ogg Vorbis output and the rules that keep them consistent.
// brAutoSelect as the nominal rate selects quality mode (the Compression value); any other
// nominal rate selects managed bit rates. Values compare in the enumeration's order.
namespace trackmill {

enum class TVorbisBitRate : std::uint8_t {
  brAutoSelect,
  bitrate24,
  bitrate32,
  bitrate45,
  bitrate48,
  bitrate56,
  bitrate64,
  bitrate80,
  bitrate96,
  bitrate112,
  bitrate128,
  bitrate144,
  bitrate160,
  bitrate192,
  bitrate224,
  bitrate256,
  bitrate320,
  bitrate499,
};

// Bits per second that a value stands for (from its low 7 bits); -1 (no limit) for
// brAutoSelect and anything outside the list.
int VorbisBitRateValue(TVorbisBitRate rate);
// The value at a position of the enumeration (0 brAutoSelect, 1 bitrate24, ...); positions
// outside the list give brAutoSelect.
TVorbisBitRate VorbisBitRateAt(int position);

// The three bit rates of an encoder set-up with their setter rules:
//  - SetNominal stores the value; the minimum is lowered and the maximum raised to it when
//    they are on the wrong side; brAutoSelect also resets the maximum to brAutoSelect.
//  - SetMaximum is accepted only while the nominal rate is chosen, and only for
//    brAutoSelect or a value not below the nominal rate.
//  - SetMinimum is accepted only for values not above the nominal rate.
// A plain value; not thread-safe.
class VorbisBitRates {
 public:
  TVorbisBitRate Nominal() const { return nominal_; }
  TVorbisBitRate Maximum() const { return maximum_; }
  TVorbisBitRate Minimum() const { return minimum_; }
  void SetNominal(TVorbisBitRate rate);
  void SetMaximum(TVorbisBitRate rate);
  void SetMinimum(TVorbisBitRate rate);

  // True when the nominal rate is chosen (managed bit rates instead of quality mode).
  bool IsManaged() const { return nominal_ != TVorbisBitRate::brAutoSelect; }

  // The arguments of a managed set-up in bits per second: maximum -1 for no limit, minimum
  // the nominal rate when it has none.
  struct Managed {
    long maximum;
    long nominal;
    long minimum;
  };
  Managed ManagedArguments() const;

 private:
  TVorbisBitRate nominal_ = TVorbisBitRate::brAutoSelect;
  TVorbisBitRate maximum_ = TVorbisBitRate::brAutoSelect;
  TVorbisBitRate minimum_ = TVorbisBitRate::brAutoSelect;
};

}  // namespace trackmill
