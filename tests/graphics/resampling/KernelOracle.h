// The kernels as their formulas in double precision, each with random parameters, beside the
// engine's kernel made with the same parameters; and the weight correction of the kernel stretch,
// as it is stated: the middle entry takes the difference unless that turns its sign, else the
// positive weights give (or take) one unit each from the middle outwards.
#pragma once

#include <cmath>
#include <functional>
#include <memory>
#include <numbers>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "graphics/resampling/Kernels.h"

namespace kernel_oracle {

using namespace gfx;

struct Kernel {
  std::unique_ptr<TCustomKernel> engine;
  std::function<double(double)> filter;
  double width = 1;
  bool rangeCheck = false;
};

struct Family {
  const char* name;
  std::function<Kernel(std::mt19937&)> make;
};
inline void PrintTo(const Family& family, std::ostream* out) {
  *out << family.name;
}

inline double Sinc(double x) {
  return x == 0 ? 1 : std::sin(std::numbers::pi * x) / (std::numbers::pi * x);
}

inline double Uniform(std::mt19937& random, double lo, double hi) {
  return std::uniform_real_distribution<double>(lo, hi)(random);
}

template <class T>
std::unique_ptr<TCustomKernel> Engine(const std::function<void(T&)>& set = {}) {
  auto kernel = std::make_unique<T>();
  if (set) set(*kernel);
  return kernel;
}

// A windowed sinc of random width (below 1 too, so that some clusters lose every weight).
template <class T>
Kernel Windowed(std::mt19937& random, const std::function<double(double a, double w)>& window,
                const std::function<void(T&)>& set = {}) {
  const float width = float(Uniform(random, 0.2, 6));
  Kernel k;
  k.engine = Engine<T>([&](T& t) {
    t.SetWidth(width);
    if (set) set(t);
  });
  k.filter = [window, w = double(width)](double x) {
    const double a = std::fabs(x);
    return a < w ? window(a, w) * Sinc(a) : 0.0;
  };
  k.width = width;
  k.rangeCheck = true;
  return k;
}

inline double CosOfWindow(double a, double w) {
  return std::cos(std::numbers::pi * a / w);
}

// Albrecht coefficient rows for 2, 3 and 7 terms.
inline const std::vector<std::vector<double>>& AlbrechtRows() {
  static const std::vector<std::vector<double>> rows = {
      {0.5383553946707251, 0.4616446053292749},
      {0.346100822018625, 0.497340635096738, 0.156558542884637},
      {0.0639644241143904, 0.239938645993528, 0.350159563238205, 0.247741118970808,
       0.085438256055858, 0.0123202033692932, 0.000437788257917735}};
  return rows;
}

inline std::vector<Family> Families() {
  using R = std::mt19937;
  auto simple = [](std::unique_ptr<TCustomKernel> engine, std::function<double(double)> f,
                   double width, bool rangeCheck) {
    Kernel k;
    k.engine = std::move(engine);
    k.filter = std::move(f);
    k.width = width;
    k.rangeCheck = rangeCheck;
    return k;
  };
  return {
      {"Box",
       [=](R&) {
         return simple(
             Engine<TBoxKernel>(), [](double x) { return std::fabs(x) <= 0.5 ? 1.0 : 0; }, 1,
             false);
       }},
      {"Linear",
       [=](R&) {
         return simple(
             Engine<TLinearKernel>(), [](double x) { return std::max(0.0, 1 - std::fabs(x)); }, 1,
             false);
       }},
      {"Cosine",
       [=](R&) {
         return simple(
             Engine<TCosineKernel>(),
             [](double x) {
               return std::fabs(x) < 1 ? (std::cos(std::numbers::pi * x) + 1) / 2 : 0;
             },
             1, false);
       }},
      {"Spline",
       [=](R&) {
         return simple(
             Engine<TSplineKernel>(),
             [](double x) {
               const double a = std::fabs(x);
               return a < 1   ? 0.5 * a * a * a - a * a + 2.0 / 3
                      : a < 2 ? std::pow(2 - a, 3) / 6
                              : 0;
             },
             2, true);
       }},
      {"Mitchell",
       [=](R&) {
         return simple(
             Engine<TMitchellKernel>(),
             [](double x) {
               const double a = std::fabs(x);
               if (a < 1) return (21 * a * a * a - 36 * a * a + 16) / 18;
               if (a < 2) return (-7 * a * a * a + 36 * a * a - 60 * a + 32) / 18;
               return 0.0;
             },
             2, true);
       }},
      {"Cubic",
       [=](R& r) {
         const float c = float(Uniform(r, -1.5, 0));
         return simple(
             Engine<TCubicKernel>([c](TCubicKernel& k) { k.SetCoeff(c); }),
             [c = double(c)](double x) {
               const double a = std::fabs(x);
               if (a < 1) return (c + 2) * a * a * a - (c + 3) * a * a + 1;
               if (a < 2) return (a * a * a - 5 * a * a + 8 * a - 4) * c;
               return 0.0;
             },
             2, true);
       }},
      {"Hermite",
       [=](R& r) {
         const float bias = float(Uniform(r, -1, 1)), tension = float(Uniform(r, -1, 1));
         return simple(
             Engine<THermiteKernel>([=](THermiteKernel& k) {
               k.SetBias(bias);
               k.SetTension(tension);
             }),
             [b = double(bias), t = double(tension)](double x) {
               const double T = (1 - t) * 0.5, TC = (1 + b) * T, BC = (1 - b) * T;
               const double I = std::floor(x), Z = std::fabs(I - x);
               const double Z2 = Z * Z, Z3 = Z2 * Z;
               const double T1 = Z3 - 2 * Z2 + Z, T2 = Z3 - Z2, T3 = -2 * Z3 + 3 * Z2, T4 = 1 - T3;
               if (I == -2) return T2 * BC;
               if (I == -1) return T1 * BC + T3 + (TC - BC) * T2;
               if (I == 0) return (TC - BC) * T1 + T4 - T2 * TC;
               if (I == 1) return -T1 * TC;
               return 0.0;
             },
             2, true);
       }},
      {"Sinsh",
       [=](R& r) {
         const float width = float(Uniform(r, 0.5, 5)), coeff = float(Uniform(r, 0.2, 1.5));
         return simple(
             Engine<TSinshKernel>([=](TSinshKernel& k) {
               k.SetWidth(width);
               k.SetCoeff(coeff);
             }),
             [c = double(coeff)](double x) {
               const double p = std::numbers::pi;
               return x == 0 ? 1.0 : std::sin(p * x) * c / std::sinh(p * c * x);
             },
             width, true);
       }},
      {"Lanczos",
       [](R& r) {
         return Windowed<TLanczosKernel>(r, [](double a, double w) { return Sinc(a / w); });
       }},
      {"Blackman",
       [](R& r) {
         return Windowed<TBlackmanKernel>(r, [](double a, double w) {
           const double c = CosOfWindow(a, w);
           return 0.34 + 0.5 * c + 0.16 * c * c;
         });
       }},
      {"Hann",
       [](R& r) {
         return Windowed<THannKernel>(
             r, [](double a, double w) { return 0.5 + 0.5 * CosOfWindow(a, w); });
       }},
      {"Hamming",
       [](R& r) {
         return Windowed<THammingKernel>(
             r, [](double a, double w) { return 0.54 + 0.46 * CosOfWindow(a, w); });
       }},
      {"Gaussian",
       [](R& r) {
         const float sigma = float(Uniform(r, 0.2, 3));
         return Windowed<TGaussianKernel>(
             r,
             [s = double(sigma)](double a, double) {
               return std::exp(a * a * -std::numbers::ln2 / s);
             },
             [sigma](TGaussianKernel& k) { k.SetSigma(sigma); });
       }},
      {"Albrecht",
       [](R& r) {
         const auto& rows = AlbrechtRows();
         const std::vector<double>& row = rows[std::uniform_int_distribution<size_t>(0, 2)(r)];
         return Windowed<TAlbrechtKernel>(
             r,
             [row](double a, double w) {
               const double c = CosOfWindow(a, w);
               double v = row.back();
               for (size_t i = row.size() - 1; i-- > 0;) v = v * c + row[i];
               return v;
             },
             [n = int32_t(row.size())](TAlbrechtKernel& k) { k.SetTerms(n); });
       }},
  };
}

// The correction to 256 of integer weights, as stated above.
inline void Balance(std::vector<int64_t>& w, size_t middle) {
  int64_t excess = -256;
  for (int64_t v : w) excess += v;
  if (excess == 0) return;
  if ((w[middle] - excess >= 0) == (w[middle] >= 0)) {
    w[middle] -= excess;
    return;
  }
  const int64_t unit = excess > 0 ? 1 : -1;
  while (excess != 0) {
    for (size_t d = 0; d <= w.size() && excess != 0; ++d) {
      for (int64_t i : {int64_t(middle) - int64_t(d), int64_t(middle) + int64_t(d)}) {
        if (excess == 0 || i < 0 || i >= int64_t(w.size()) || w[size_t(i)] <= 0) continue;
        if (d == 0 && i != int64_t(middle)) continue;
        w[size_t(i)] -= unit;
        excess -= unit;
        if (d == 0) break;
      }
    }
  }
}

}  // namespace kernel_oracle
