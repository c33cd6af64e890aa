#include "graphics/resampling/Kernels.h"

#include <cmath>
#include <numbers>

#include "graphics/core/Containers.h"

namespace gfx {

namespace {

constexpr double kPi = std::numbers::pi;

// Coefficient rows of the Albrecht window by number of terms (row 0 holds two terms).
constexpr double kAlbrecht[10][11] = {
    {0.5383553946707251, 0.4616446053292749},
    {0.346100822018625, 0.497340635096738, 0.156558542884637},
    {0.226982412792069, 0.457254070828427, 0.273199027957384, 0.0425644884221201},
    {0.14894260601583, 0.386001173639176, 0.340977403214053, 0.1139879604246, 0.0100908567063414},
    {0.0971676200107429, 0.308845222524055, 0.362623371437917, 0.188953325525116,
     0.0402095714148751, 0.0022008890872942},
    {0.0639644241143904, 0.239938645993528, 0.350159563238205, 0.247741118970808, 0.085438256055858,
     0.0123202033692932, 0.000437788257917735},
    {0.0421072107042137, 0.182076226633776, 0.317713781059942, 0.284438001373442, 0.136762237777383,
     0.0334038053504025, 0.00341677216705768, 8.19649337831348e-05},
    {0.0276143731612611, 0.135382228758844, 0.275287234472237, 0.298843335317801, 0.185319330279284,
     0.0648884482549063, 0.0117641910285655, 0.000885987580106899, 1.48711469943406e-05},
    {0.0179908225352538, 0.098795958606521, 0.229883817001211, 0.294113019095183, 0.224338977814325,
     0.103248806248099, 0.0275674109448523, 0.00383958622947123, 0.000218971708430106,
     2.62981665347889e-06},
    {0.0118717127796602, 0.0719533651951142, 0.187887160922585, 0.275808174097291,
     0.248904243244464, 0.141729867200712, 0.0502002976228256, 0.0104589649084984,
     0.0011361511274166, 4.96285981703436e-05, 4.3430326268572e-07},
};

}  // namespace

float Sinc(float Value) {
  if (Value == 0) return 1;
  const float t = float(kPi * Value);
  return float(std::sin(double(t)) / t);
}

// ---- TCustomKernel ----

void TCustomKernel::Changed() {
  if (observer_) observer_->Changed();
}

void TCustomKernel::AssignTo(plat::TPersistent& Dest) const {
  if (dynamic_cast<TCustomKernel*>(&Dest))
    AssignPublishedProperties(*this, Dest, plat::tkProperties);
  else
    plat::TPersistent::AssignTo(Dest);
}

// ---- Simple kernels ----

float TBoxKernel::Filter(float Value) const {
  return Value >= -0.5f && Value <= 0.5f ? 1.0f : 0.0f;
}

float TLinearKernel::Filter(float Value) const {
  if (Value >= -1 && Value < 0) return float(1.0 + Value);
  if (Value >= 0 && Value < 1) return float(1.0 - Value);
  return 0;
}

float TCosineKernel::Filter(float Value) const {
  if (std::fabs(Value) < 1) return float((std::cos(kPi * Value) + 1) * 0.5);
  return 0;
}

float TSplineKernel::Filter(float Value) const {
  const double a = std::fabs(double(Value)), x2 = a * a;
  if (a < 1) return float(0.5 * x2 * a - x2 + 2.0 / 3);
  if (a < 2) return float((2 - a) * (2 - a) * (2 - a) / 6);
  return 0;
}

float TMitchellKernel::Filter(float Value) const {
  const double a = std::fabs(double(Value)), x2 = a * a;
  if (a < 1) return float((21 * x2 * a - 36 * x2 + 16) / 18);
  if (a < 2) return float((-7 * x2 * a + 36 * x2 - 60 * a + 32) / 18);
  return 0;
}

float TCubicKernel::Filter(float Value) const {
  const double a = std::fabs(double(Value)), x2 = a * a, c = coeff_;
  if (a < 1) return float((c + 2) * x2 * a - (c + 3) * x2 + 1);
  if (a < 2) return float((x2 * a - 5 * x2 + 8 * a - 4) * c);
  return 0;
}

void TCubicKernel::SetCoeff(float Value) {
  if (coeff_ == Value) return;
  coeff_ = Value;
  Changed();
}

float THermiteKernel::Filter(float Value) const {
  const float T = float((1.0 - tension_) * 0.5);
  const float TC = float((1.0 + bias_) * T), BC = float((1.0 - bias_) * T);
  const double I = std::floor(double(Value));
  const float Z = float(std::fabs(I - Value));
  const float Z2 = float(double(Z) * Z), Z3 = float(double(Z2) * Z);
  const float T1 = float(double(Z3) - 2.0 * Z2 + Z);
  const float T2 = float(double(Z3) - Z2);
  const float T3 = float(-2.0 * Z3 + 3.0 * Z2);
  const float T4 = float(1.0 - T3);
  if (I == -2) return float(double(T2) * BC);
  if (I == -1) return float(double(T1) * BC + T3 + (double(TC) - BC) * T2);
  if (I == 0) return float((double(TC) - BC) * T1 + T4 - double(T2) * TC);
  if (I == 1) return float(-double(T1) * TC);
  return 0;
}

void THermiteKernel::SetBias(float Value) {
  if (bias_ == Value) return;
  bias_ = Value;
  Changed();
}

void THermiteKernel::SetTension(float Value) {
  if (tension_ == Value) return;
  tension_ = Value;
  Changed();
}

float TSinshKernel::Filter(float Value) const {
  if (Value == 0) return 1;
  return float(std::sin(kPi * Value) * coeff_ / std::sinh(kPi * coeff_ * Value));
}

namespace {

// Widths at or below 0 are refused; kernel resamplers keep fixed weight lists up to a radius of
// 16.
bool UsableWidth(float& Value) {
  if (!(Value > 0)) return false;
  Value = std::min(Value, 16.0f);
  return true;
}

}  // namespace

void TSinshKernel::SetWidth(float Value) {
  if (!UsableWidth(Value) || width_ == Value) return;
  width_ = Value;
  Changed();
}

void TSinshKernel::SetCoeff(float Value) {
  if (Value == 0 || coeff_ == Value) return;
  coeff_ = Value;
  Changed();
}

// ---- Windowed sinc family ----

float TWindowedSincKernel::Filter(float Value) const {
  const float a = std::fabs(Value);
  if (a < width_) return float(double(Window(a)) * Sinc(a));
  return 0;
}

void TWindowedSincKernel::SetWidth(float Value) {
  if (!UsableWidth(Value) || width_ == Value) return;
  width_ = Value;
  widthReci_ = 1.0f / Value;
  Changed();
}

namespace {

double CosOfWindow(float a, float widthReci) {
  return std::cos(kPi * a * widthReci);
}

}  // namespace

float TLanczosKernel::Window(float Value) const {
  return Sinc(float(double(Value) * widthReci_));
}

float TBlackmanKernel::Window(float Value) const {
  const double c = float(CosOfWindow(Value, widthReci_));
  return float(0.34 + 0.5 * c + 0.16 * c * c);
}

float THannKernel::Window(float Value) const {
  return float(0.5 + 0.5 * CosOfWindow(Value, widthReci_));
}

float THammingKernel::Window(float Value) const {
  return float(0.54 + 0.46 * CosOfWindow(Value, widthReci_));
}

float TGaussianKernel::Window(float Value) const {
  return float(std::exp(double(Value) * Value * sigmaReci_));
}

void TGaussianKernel::SetSigma(float Value) {
  if (Value == 0 || sigma_ == Value) return;
  sigma_ = Value;
  sigmaReci_ = float(-std::numbers::ln2 / Value);
  Changed();
}

float TAlbrechtKernel::Window(float Value) const {
  const double c = CosOfWindow(Value, widthReci_);
  float r = float(coefficients_[size_t(terms_ - 1)]);
  for (int32_t i = terms_ - 2; i >= 0; --i) r = float(r * c + coefficients_[size_t(i)]);
  return r;
}

void TAlbrechtKernel::SetTerms(int32_t Value) {
  Value = Value < 2 ? 2 : Value > 11 ? 11 : Value;
  if (terms_ == Value) return;
  terms_ = Value;
  for (int32_t i = 0; i < 11; ++i) coefficients_[size_t(i)] = kAlbrecht[Value - 2][i];
}

}  // namespace gfx
