#include "audio/codecs/VorbisBitRate.h"

#include <array>

namespace trackmill {

namespace {
constexpr std::array<int, 18> kBitsPerSecond = {
    -1,     24000,  32000,  45000,  48000,  56000,  64000,  80000,  96000,
    112000, 128000, 144000, 160000, 192000, 224000, 256000, 320000, 499000};
}  // namespace

int VorbisBitRateValue(TVorbisBitRate rate) {
  const int index = static_cast<int>(rate) & 0x7F;
  if (index >= static_cast<int>(kBitsPerSecond.size())) return -1;
  return kBitsPerSecond[static_cast<std::size_t>(index)];
}

TVorbisBitRate VorbisBitRateAt(int position) {
  if (position < 0 || position >= static_cast<int>(kBitsPerSecond.size()))
    return TVorbisBitRate::brAutoSelect;
  return static_cast<TVorbisBitRate>(position);
}

void VorbisBitRates::SetNominal(TVorbisBitRate rate) {
  nominal_ = rate;
  if (minimum_ > rate) minimum_ = rate;
  if (maximum_ < rate) maximum_ = rate;
  if (rate == TVorbisBitRate::brAutoSelect) maximum_ = TVorbisBitRate::brAutoSelect;
}

void VorbisBitRates::SetMaximum(TVorbisBitRate rate) {
  if (nominal_ == TVorbisBitRate::brAutoSelect) return;
  if (rate != TVorbisBitRate::brAutoSelect && rate < nominal_) return;
  maximum_ = rate;
}

void VorbisBitRates::SetMinimum(TVorbisBitRate rate) {
  if (rate > nominal_) return;
  minimum_ = rate;
}

VorbisBitRates::Managed VorbisBitRates::ManagedArguments() const {
  Managed m;
  m.nominal = VorbisBitRateValue(nominal_);
  m.maximum = VorbisBitRateValue(maximum_);
  const long minimum = VorbisBitRateValue(minimum_);
  m.minimum = minimum == -1 ? m.nominal : minimum;
  return m;
}

}  // namespace trackmill
