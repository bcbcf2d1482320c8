#include "verify/ctdb/ReedSolomon.h"

#include <algorithm>

namespace trackmill::ctdb {

std::vector<uint32_t> GeneratorTaps(const GaloisField& field, int npar) {
  // Coefficients from the highest power: poly[0] = 1 (x^npar) ... poly[npar] (x^0).
  std::vector<uint32_t> poly{1};
  for (int root = 0; root < npar; ++root) {
    const uint32_t alpha = field.AlphaPower(root);
    std::vector<uint32_t> next(poly.size() + 1, 0);
    for (size_t i = 0; i < poly.size(); ++i) {
      next[i] ^= poly[i];
      next[i + 1] ^= field.Multiply(poly[i], alpha);
    }
    poly = std::move(next);
  }
  return std::vector<uint32_t>(poly.begin() + 1, poly.end());
}

std::vector<uint32_t> CheckSymbols(const GaloisField& field, const std::vector<uint32_t>& data,
                                   int npar) {
  const std::vector<uint32_t> taps = GeneratorTaps(field, npar);
  std::vector<uint32_t> reg(npar, 0);
  for (uint32_t symbol : data) {
    const uint32_t feedback = symbol ^ reg[0];
    for (int i = 0; i + 1 < npar; ++i) reg[i] = reg[i + 1] ^ field.Multiply(feedback, taps[i]);
    reg[npar - 1] = field.Multiply(feedback, taps[npar - 1]);
  }
  return reg;
}

std::vector<uint32_t> Syndromes(const GaloisField& field, const std::vector<uint32_t>& symbols,
                                int npar) {
  std::vector<uint32_t> syndromes(npar, 0);
  for (int i = 0; i < npar; ++i) {
    const uint32_t alpha = field.AlphaPower(i);
    uint32_t value = 0;
    for (uint32_t symbol : symbols) value = field.Multiply(value, alpha) ^ symbol;
    syndromes[i] = value;
  }
  return syndromes;
}

std::vector<uint32_t> SyndromesFromChecks(const GaloisField& field,
                                          const std::vector<uint32_t>& checks) {
  const int npar = static_cast<int>(checks.size());
  std::vector<uint32_t> syndromes(npar, 0);
  for (int i = 0; i < npar; ++i)
    for (int k = 0; k < npar; ++k)
      syndromes[i] ^= field.Multiply(checks[k], field.AlphaPower(-int64_t(i) * (k + 1)));
  return syndromes;
}

std::optional<std::vector<uint32_t>> ErrorLocator(const GaloisField& field,
                                                  const std::vector<uint32_t>& syndromes) {
  std::vector<uint32_t> locator{1}, previous{1};
  int length = 0, gap = 1;
  uint32_t previousDiscrepancy = 1;
  for (size_t step = 0; step < syndromes.size(); ++step) {
    uint32_t discrepancy = syndromes[step];
    for (int i = 1; i <= length && i < int(locator.size()); ++i)
      discrepancy ^= field.Multiply(locator[i], syndromes[step - i]);
    if (discrepancy == 0) {
      ++gap;
      continue;
    }
    const uint32_t scale = field.Divide(discrepancy, previousDiscrepancy);
    std::vector<uint32_t> updated = locator;
    if (updated.size() < previous.size() + gap) updated.resize(previous.size() + gap, 0);
    for (size_t i = 0; i < previous.size(); ++i)
      updated[i + gap] ^= field.Multiply(scale, previous[i]);
    if (2 * length <= int(step)) {
      previous = std::move(locator);
      length = int(step) + 1 - length;
      previousDiscrepancy = discrepancy;
      gap = 1;
    } else {
      ++gap;
    }
    locator = std::move(updated);
  }
  while (locator.size() > 1 && locator.back() == 0) locator.pop_back();
  if (int(locator.size()) - 1 != length) return std::nullopt;
  return locator;
}

std::vector<int> LocatorRoots(const GaloisField& field, const std::vector<uint32_t>& locator,
                              int length, int maxRoots) {
  // Each term's logarithm, stepped by -t for every power k: locator(a^-k) term by term.
  const int degree = int(locator.size()) - 1;
  const int64_t order = field.Order();
  std::vector<int64_t> termLog(degree + 1, -1);
  for (int t = 1; t <= degree; ++t)
    if (locator[t] != 0) termLog[t] = field.Log(locator[t]);
  std::vector<int> roots;
  for (int k = 0; k < length; ++k) {
    uint32_t value = locator[0];
    for (int t = 1; t <= degree; ++t) {
      if (termLog[t] < 0) continue;
      value ^= field.AlphaPower(termLog[t]);
      termLog[t] -= t;
      if (termLog[t] < 0) termLog[t] += order;
    }
    if (value == 0) {
      roots.push_back(k);
      if (int(roots.size()) > maxRoots) break;
    }
  }
  return roots;
}

std::optional<std::vector<SymbolError>> LocateErrors(const GaloisField& field,
                                                     const std::vector<uint32_t>& syndromes,
                                                     int length) {
  if (std::all_of(syndromes.begin(), syndromes.end(), [](uint32_t s) { return s == 0; }))
    return std::vector<SymbolError>{};
  const auto locator = ErrorLocator(field, syndromes);
  if (!locator) return std::nullopt;
  const int degree = int(locator->size()) - 1;
  if (degree < 1 || 2 * degree > int(syndromes.size())) return std::nullopt;
  const std::vector<int> roots = LocatorRoots(field, *locator, length, degree);
  if (int(roots.size()) != degree) return std::nullopt;

  // Forney with the first root a^0: e = X * omega(X^-1) / locator'(X^-1).
  const size_t npar = syndromes.size();
  std::vector<uint32_t> omega(npar, 0);
  for (size_t i = 0; i < npar; ++i)
    for (size_t t = 0; t < locator->size() && t <= i; ++t)
      omega[i] ^= field.Multiply(syndromes[i - t], (*locator)[t]);
  auto evaluate = [&](const std::vector<uint32_t>& poly, uint32_t x, size_t step, size_t from) {
    uint32_t value = 0, power = 1;
    for (size_t i = 0; i < from; ++i) power = field.Multiply(power, x);
    for (size_t i = from; i < poly.size(); i += step) {
      value ^= field.Multiply(poly[i], power);
      for (size_t s = 0; s < step; ++s) power = field.Multiply(power, x);
    }
    return value;
  };
  std::vector<SymbolError> errors;
  for (int power : roots) {
    const uint32_t inverse = field.AlphaPower(-int64_t(power));
    // The formal derivative keeps the odd terms: sum over odd t of lambda_t x^(t-1).
    uint32_t derivative = 0, xPower = 1;
    const uint32_t xSquared = field.Multiply(inverse, inverse);
    for (size_t t = 1; t < locator->size(); t += 2) {
      derivative ^= field.Multiply((*locator)[t], xPower);
      xPower = field.Multiply(xPower, xSquared);
    }
    if (derivative == 0) return std::nullopt;
    const uint32_t value = field.Multiply(
        field.AlphaPower(power), field.Divide(evaluate(omega, inverse, 1, 0), derivative));
    if (value == 0) return std::nullopt;
    errors.push_back({power, value});
  }
  return errors;
}

}  // namespace trackmill::ctdb
