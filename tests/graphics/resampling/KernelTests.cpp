// Kernels against their textbook closed forms, evaluated here in double precision.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "Helpers.h"
#include "graphics/resampling/Kernels.h"
#include "graphics/resampling/Resamplers.h"

namespace {

using namespace gfx;
constexpr double kPi = std::numbers::pi;

double Sinc(double x) {
  return x == 0 ? 1 : std::sin(kPi * x) / (kPi * x);
}

// Mitchell-Netravali family with parameters B and C.
double MitchellNetravali(double x, double B, double C) {
  const double a = std::fabs(x);
  if (a < 1)
    return ((12 - 9 * B - 6 * C) * a * a * a + (-18 + 12 * B + 6 * C) * a * a + (6 - 2 * B)) / 6;
  if (a < 2)
    return ((-B - 6 * C) * a * a * a + (6 * B + 30 * C) * a * a + (-12 * B - 48 * C) * a +
            (8 * B + 24 * C)) /
           6;
  return 0;
}

// Keys' cubic convolution with free parameter A.
double Keys(double x, double A) {
  const double a = std::fabs(x);
  if (a < 1) return (A + 2) * a * a * a - (A + 3) * a * a + 1;
  if (a < 2) return A * (a * a * a - 5 * a * a + 8 * a - 4);
  return 0;
}

std::vector<float> Positions() {
  std::vector<float> xs;
  for (int i = -300; i <= 300; ++i) xs.push_back(float(i) / 97.0f);
  return xs;
}

TEST(KernelShapes, CubicsMatchTheirClosedForms) {
  TMitchellKernel mitchell;
  TSplineKernel spline;
  TCubicKernel cubic;
  TCubicKernel sharp;
  sharp.SetCoeff(-0.75f);
  for (float x : Positions()) {
    EXPECT_NEAR(mitchell.Filter(x), MitchellNetravali(x, 1.0 / 3, 1.0 / 3), 1e-6) << x;
    EXPECT_NEAR(spline.Filter(x), MitchellNetravali(x, 1, 0), 1e-6) << x;
    EXPECT_NEAR(cubic.Filter(x), Keys(x, -0.5), 1e-6) << x;
    EXPECT_NEAR(sharp.Filter(x), Keys(x, -0.75), 1e-6) << x;
  }
  EXPECT_NEAR(spline.Filter(0), 2.0 / 3, 1e-7);
  EXPECT_NEAR(spline.Filter(1), 1.0 / 6, 1e-7);
  EXPECT_NEAR(mitchell.Filter(0), 16.0 / 18, 1e-7);
  EXPECT_NEAR(cubic.Filter(0.5f), 0.5625, 1e-7);
  EXPECT_NEAR(cubic.Filter(1.5f), -0.0625, 1e-7);
}

TEST(KernelShapes, HermiteWithoutBiasAndTensionIsCatmullRom) {
  THermiteKernel hermite;
  TCubicKernel catmullRom;
  for (float x : Positions()) EXPECT_NEAR(hermite.Filter(x), catmullRom.Filter(x), 1e-6) << x;
}

TEST(KernelShapes, SimpleKernelsAndTheirBoundaries) {
  TBoxKernel box;
  TLinearKernel linear;
  TCosineKernel cosine;
  EXPECT_EQ(box.Filter(0.5f), 1);
  EXPECT_EQ(box.Filter(-0.5f), 1);
  EXPECT_EQ(box.Filter(0.5001f), 0);
  EXPECT_EQ(linear.Filter(-1), 0);
  EXPECT_EQ(linear.Filter(1), 0);
  EXPECT_FLOAT_EQ(linear.Filter(-0.25f), 0.75f);
  for (float x : Positions()) {
    EXPECT_NEAR(linear.Filter(x), std::max(0.0, 1 - std::fabs(double(x))), 1e-6);
    EXPECT_NEAR(cosine.Filter(x), std::fabs(x) < 1 ? (std::cos(kPi * x) + 1) / 2 : 0, 1e-6);
  }
}

TEST(KernelShapes, WindowedSincsMatchTheirWindows) {
  TLanczosKernel lanczos;
  THannKernel hann;
  THammingKernel hamming;
  TBlackmanKernel blackman;
  TGaussianKernel gaussian;
  const double w = 3;
  for (float x : Positions()) {
    const double a = std::fabs(double(x));
    const double c = std::cos(kPi * a / w);
    const double inside = a < w ? 1 : 0;
    EXPECT_NEAR(lanczos.Filter(x), inside * Sinc(a) * Sinc(a / w), 2e-6) << x;
    EXPECT_NEAR(hann.Filter(x), inside * Sinc(a) * (0.5 + 0.5 * c), 2e-6) << x;
    EXPECT_NEAR(hamming.Filter(x), inside * Sinc(a) * (0.54 + 0.46 * c), 2e-6) << x;
    EXPECT_NEAR(blackman.Filter(x), inside * Sinc(a) * (0.34 + 0.5 * c + 0.16 * c * c), 2e-6);
    EXPECT_NEAR(gaussian.Filter(x), inside * Sinc(a) * std::pow(2.0, -a * a / 1.33), 2e-6) << x;
  }
  for (int k = 1; k < 3; ++k) EXPECT_NEAR(lanczos.Filter(float(k)), 0, 1e-6);
  EXPECT_EQ(lanczos.Filter(0), 1);
  EXPECT_NEAR(gaussian.Window(std::sqrt(1.33f)), 0.5, 1e-6);
}

TEST(KernelShapes, AlbrechtWindowIsOneAtTheCentreForEveryTermCount) {
  TAlbrechtKernel albrecht;
  for (int32_t terms = 2; terms <= 11; ++terms) {
    albrecht.SetTerms(terms);
    EXPECT_NEAR(albrecht.Window(0), 1.0, 1e-6) << terms;
  }
  albrecht.SetTerms(40);
  EXPECT_EQ(albrecht.Terms(), 11);
  albrecht.SetTerms(-3);
  EXPECT_EQ(albrecht.Terms(), 2);
}

TEST(KernelShapes, SinshMatchesItsFormula) {
  TSinshKernel sinsh;
  for (float x : Positions()) {
    if (x == 0) continue;
    EXPECT_NEAR(sinsh.Filter(x), std::sin(kPi * x) * 0.5 / std::sinh(kPi * 0.5 * x), 1e-6);
  }
  EXPECT_EQ(sinsh.Filter(0), 1);
}

// Shifted copies of these kernels sum to one everywhere.
TEST(KernelShapes, PartitionOfUnity) {
  std::vector<std::unique_ptr<TCustomKernel>> kernels;
  kernels.push_back(std::make_unique<TLinearKernel>());
  kernels.push_back(std::make_unique<TCosineKernel>());
  kernels.push_back(std::make_unique<TSplineKernel>());
  kernels.push_back(std::make_unique<TMitchellKernel>());
  kernels.push_back(std::make_unique<TCubicKernel>());
  auto odd = std::make_unique<TCubicKernel>();
  odd->SetCoeff(-1.3f);
  kernels.push_back(std::move(odd));
  auto hermite = std::make_unique<THermiteKernel>();
  hermite->SetBias(0.4f);
  hermite->SetTension(-0.7f);
  kernels.push_back(std::move(hermite));
  for (const auto& kernel : kernels)
    for (int i = 0; i < 100; ++i) {
      const double x = i / 100.0;
      double sum = 0;
      for (int k = -3; k <= 3; ++k) sum += kernel->Filter(float(x + k));
      EXPECT_NEAR(sum, 1.0, 2e-6) << kernel->ClassName() << " at " << x;
    }
}

TEST(KernelParameters, SettersClampIgnoreAndReport) {
  int changes = 0;
  TLanczosKernel lanczos;
  TCustomBitmap32 bitmap;
  bitmap.OnChange = [&](plat::TObject*) { ++changes; };
  TCustomResampler::Create<TKernelResampler>(bitmap).SetKernel(std::make_unique<TCubicKernel>());
  changes = 0;
  auto* cubic =
      static_cast<TCubicKernel*>(static_cast<TKernelResampler*>(bitmap.Resampler())->Kernel());
  cubic->SetCoeff(-0.5f);
  EXPECT_EQ(changes, 0);
  cubic->SetCoeff(-0.6f);
  EXPECT_EQ(changes, 1);

  lanczos.SetWidth(40);
  EXPECT_EQ(lanczos.Width(), 16);
  // A width at or below 0 (or not a number) would leave no weight anywhere: refused.
  for (float refused : {0.0f, -2.0f, std::nanf("")}) {
    lanczos.SetWidth(refused);
    EXPECT_EQ(lanczos.Width(), 16);
  }
  TSinshKernel sinsh;
  sinsh.SetWidth(20);
  EXPECT_EQ(sinsh.Width(), 16);
  sinsh.SetWidth(-1);
  EXPECT_EQ(sinsh.Width(), 16);
  sinsh.SetCoeff(0);
  EXPECT_EQ(sinsh.Coeff(), 0.5f);
  TGaussianKernel gaussian;
  gaussian.SetSigma(0);
  EXPECT_FLOAT_EQ(gaussian.Sigma(), 1.33f);
}

TEST(KernelParameters, AssignCopiesPublishedParameters) {
  THermiteKernel a, b;
  a.SetBias(0.25f);
  a.SetTension(-0.5f);
  b.Assign(a);
  EXPECT_EQ(b.Bias(), 0.25f);
  EXPECT_EQ(b.Tension(), -0.5f);
}

}  // namespace
