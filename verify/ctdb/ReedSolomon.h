#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "verify/ctdb/GaloisField.h"

// The Reed-Solomon code over a GaloisField with generator g(x) = (x - a^0)...(x - a^(npar-1)),
// and its decoding from syndromes. A codeword of `length` symbols puts its first symbol at
// the highest power, x^(length-1); an error "at power k" sits at symbol length - 1 - k.
// Pure functions; any thread.
namespace trackmill::ctdb {

// g_i, the coefficient of x^(npar-1-i) in the monic generator, i = 0 ... npar-1: the taps of
// the check-symbol shift register.
std::vector<uint32_t> GeneratorTaps(const GaloisField& field, int npar);

// The npar check symbols of data (p_0 at the highest power): the remainder of D(x) x^npar by g.
std::vector<uint32_t> CheckSymbols(const GaloisField& field, const std::vector<uint32_t>& data,
                                   int npar);

// S_i = C(a^i), i = 0 ... npar-1, of the symbols in order (Horner).
std::vector<uint32_t> Syndromes(const GaloisField& field, const std::vector<uint32_t>& symbols,
                                int npar);

// The syndromes of the data from its check symbols: S_i = sum_k p_k a^(-i(k+1)).
std::vector<uint32_t> SyndromesFromChecks(const GaloisField& field,
                                          const std::vector<uint32_t>& checks);

// The error locator of the syndromes by Berlekamp-Massey, lambda[0] = 1, trimmed so that its
// size - 1 is its degree. A degree other than the register length the algorithm ended with
// means the syndromes do not describe correctable errors: nullopt.
std::optional<std::vector<uint32_t>> ErrorLocator(const GaloisField& field,
                                                  const std::vector<uint32_t>& syndromes);

// The powers k in [0, length) with locator(a^-k) = 0, in rising order; stops after
// maxRoots + 1 roots.
std::vector<int> LocatorRoots(const GaloisField& field, const std::vector<uint32_t>& locator,
                              int length, int maxRoots);

struct SymbolError {
  int power = 0;      // the error's place in the codeword, as a power of x
  uint32_t mask = 0;  // what to XOR into the symbol there; never zero
};

// The errors the syndromes (of received word minus codeword) describe when they are at most
// npar / 2 and all inside the codeword; nullopt when they cannot be located. Syndromes that
// are all zero give no errors.
std::optional<std::vector<SymbolError>> LocateErrors(const GaloisField& field,
                                                     const std::vector<uint32_t>& syndromes,
                                                     int length);

}  // namespace trackmill::ctdb
