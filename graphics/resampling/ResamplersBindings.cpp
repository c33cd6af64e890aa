// Start-up of the resampling module: the processor-bound routines, the class registries, the
// published properties of resamplers and kernels, and the bitmap's way to the transfers.
#include "graphics/bitmap/Bitmap32.h"
#include "graphics/core/System.h"
#include "graphics/resampling/Resamplers.h"
#include "graphics/resampling/ResamplersTiers.h"
#include "platform/runtime/TypInfo.h"

namespace gfx {

// Usable before start-up; StartResamplers upgrades them.
TBlockAverage BlockAverage = resamplers_portable::BlockAverage;
TInterpolator Interpolator = resamplers_portable::Interpolator;

TResamplerClassList& ResamplerList() {
  static TResamplerClassList list;
  return list;
}

TKernelClassList& KernelList() {
  static TKernelClassList list;
  return list;
}

namespace {

void RegisterBindings() {
  TFunctionRegistry& registry = NewRegistry("Resamplers bindings");
  registry.RegisterBinding(FID_BlockAverage, &BlockAverage);
  registry.RegisterBinding(FID_Interpolator, &Interpolator);
  registry.Add(FID_BlockAverage, resamplers_portable::BlockAverage, 0, tierPortable);
  registry.Add(FID_Interpolator, resamplers_portable::Interpolator, 0, tierPortable);
#if defined(__x86_64__) || defined(__i386__)
  registry.Add(FID_BlockAverage, resamplers_mmx::BlockAverage, SetOf(isMMX), tierMMX);
  registry.Add(FID_Interpolator, resamplers_mmx::Interpolator, SetOf(isMMX) | SetOf(isSSE),
               tierMMX);
  registry.Add(FID_BlockAverage, resamplers_sse2::BlockAverage, SetOf(isSSE2), tierSSE2);
  registry.Add(FID_Interpolator, resamplers_sse2::Interpolator, SetOf(isSSE2), tierSSE2);
#endif
  registry.RebindAll();
}

void RegisterClasses() {
  RegisterResampler<TNearestResampler>("TNearestResampler");
  RegisterResampler<TLinearResampler>("TLinearResampler");
  RegisterResampler<TDraftResampler>("TDraftResampler");
  RegisterResampler<TKernelResampler>("TKernelResampler");
  RegisterKernel<TBoxKernel>("TBoxKernel");
  RegisterKernel<TLinearKernel>("TLinearKernel");
  RegisterKernel<TCosineKernel>("TCosineKernel");
  RegisterKernel<TSplineKernel>("TSplineKernel");
  RegisterKernel<TCubicKernel>("TCubicKernel");
  RegisterKernel<TMitchellKernel>("TMitchellKernel");
  RegisterKernel<TAlbrechtKernel>("TAlbrechtKernel");
  RegisterKernel<TLanczosKernel>("TLanczosKernel");
  RegisterKernel<TGaussianKernel>("TGaussianKernel");
  RegisterKernel<TBlackmanKernel>("TBlackmanKernel");
  RegisterKernel<THannKernel>("THannKernel");
  RegisterKernel<THammingKernel>("THammingKernel");
  RegisterKernel<TSinshKernel>("TSinshKernel");
  RegisterKernel<THermiteKernel>("THermiteKernel");
}

void RegisterProperties() {
  using plat::TClassRegistrar;
  using plat::tkEnumeration;
  using plat::tkFloat;
  using plat::tkInteger;
  using plat::tkString;
  static const plat::TEnumInfo accessMode{
      "TPixelAccessMode", {"pamUnsafe", "pamSafe", "pamWrap", "pamTransparentEdge"}};
  static const plat::TEnumInfo kernelMode{"TKernelMode",
                                          {"kmDynamic", "kmTableNearest", "kmTableLinear"}};
  TClassRegistrar<TCustomSampler, plat::TPersistent>("TCustomSampler");
  TClassRegistrar<TCustomResampler, TCustomSampler>("TCustomResampler")
      .Prop("PixelAccessMode", tkEnumeration, &TCustomResampler::PixelAccessMode,
            &TCustomResampler::SetPixelAccessMode, &accessMode);
  // Neither owns what it refers to; a copy gives the target's own sampler and transformation
  // the source's settings.
  TClassRegistrar<TNestedSampler, TCustomSampler>("TNestedSampler")
      .Prop("Sampler", plat::tkClass, &TNestedSampler::Sampler, &TNestedSampler::SetSampler);
  TClassRegistrar<TTransformer, TNestedSampler>("TTransformer")
      .Prop("Transformation", plat::tkClass, &TTransformer::Transformation,
            &TTransformer::SetTransformation);
  TClassRegistrar<TNearestResampler, TCustomResampler>("TNearestResampler");
  TClassRegistrar<TLinearResampler, TCustomResampler>("TLinearResampler");
  TClassRegistrar<TDraftResampler, TLinearResampler>("TDraftResampler");
  // The class name comes first, so that copying makes the right kernel before its settings.
  TClassRegistrar<TKernelResampler, TCustomResampler>("TKernelResampler")
      .Prop("KernelClassName", tkString, &TKernelResampler::KernelClassName,
            &TKernelResampler::SetKernelClassName)
      .Object("Kernel", &TKernelResampler::KernelObject)
      .Prop("KernelMode", tkEnumeration, &TKernelResampler::KernelMode,
            &TKernelResampler::SetKernelMode, &kernelMode)
      .Prop("TableSize", tkInteger, &TKernelResampler::TableSize, &TKernelResampler::SetTableSize);

  TClassRegistrar<TCustomKernel, plat::TPersistent>("TCustomKernel");
  TClassRegistrar<TBoxKernel, TCustomKernel>("TBoxKernel");
  TClassRegistrar<TLinearKernel, TCustomKernel>("TLinearKernel");
  TClassRegistrar<TCosineKernel, TCustomKernel>("TCosineKernel");
  TClassRegistrar<TSplineKernel, TCustomKernel>("TSplineKernel");
  TClassRegistrar<TMitchellKernel, TCustomKernel>("TMitchellKernel");
  TClassRegistrar<TCubicKernel, TCustomKernel>("TCubicKernel")
      .Prop("Coeff", tkFloat, &TCubicKernel::Coeff, &TCubicKernel::SetCoeff);
  TClassRegistrar<THermiteKernel, TCustomKernel>("THermiteKernel")
      .Prop("Bias", tkFloat, &THermiteKernel::Bias, &THermiteKernel::SetBias)
      .Prop("Tension", tkFloat, &THermiteKernel::Tension, &THermiteKernel::SetTension);
  TClassRegistrar<TSinshKernel, TCustomKernel>("TSinshKernel")
      .Prop("Width", tkFloat, &TSinshKernel::Width, &TSinshKernel::SetWidth)
      .Prop("Coeff", tkFloat, &TSinshKernel::Coeff, &TSinshKernel::SetCoeff);
  TClassRegistrar<TWindowedSincKernel, TCustomKernel>("TWindowedSincKernel")
      .Prop("Width", tkFloat, &TWindowedSincKernel::Width, &TWindowedSincKernel::SetWidth);
  TClassRegistrar<TAlbrechtKernel, TWindowedSincKernel>("TAlbrechtKernel")
      .Prop("Terms", tkInteger, &TAlbrechtKernel::Terms, &TAlbrechtKernel::SetTerms);
  TClassRegistrar<TLanczosKernel, TWindowedSincKernel>("TLanczosKernel");
  TClassRegistrar<TGaussianKernel, TWindowedSincKernel>("TGaussianKernel")
      .Prop("Sigma", tkFloat, &TGaussianKernel::Sigma, &TGaussianKernel::SetSigma);
  TClassRegistrar<TBlackmanKernel, TWindowedSincKernel>("TBlackmanKernel");
  TClassRegistrar<THannKernel, TWindowedSincKernel>("THannKernel");
  TClassRegistrar<THammingKernel, TWindowedSincKernel>("THammingKernel");
}

bool CreateResampler(const std::string& className, TCustomBitmap32& bitmap) {
  const auto* resamplerClass = ResamplerList().Find(className);
  if (!resamplerClass) return false;
  TResamplerPtr made(resamplerClass->Create().release());
  TCustomResampler::Install(std::move(made), bitmap);
  return true;
}

void FreeResampler(TCustomResampler* resampler) {
  std::unique_ptr<TCustomResampler> owned(resampler);
}

std::string ClassNameOf(const TCustomResampler& resampler) {
  return resampler.ClassName();
}

void AssignResampler(TCustomResampler& dest, const TCustomResampler& source) {
  dest.Assign(source);
}

// Reads the routine variable on every call, so that later rebinding is seen.
TColor32 BoundInterpolator(uint32_t wx, uint32_t wy, const TColor32* c11, const TColor32* c21) {
  return Interpolator(wx, wy, c11, c21);
}

void LinkBitmaps() {
  TResamplerLink& link = ResamplerLink();
  link.CreateResampler = CreateResampler;
  link.FreeResampler = FreeResampler;
  link.ResamplerClassName = ClassNameOf;
  link.AssignResampler = AssignResampler;
  link.BlockTransfer = BlockTransfer;
  link.StretchTransfer = StretchTransfer;
  link.Interpolate = BoundInterpolator;
}

}  // namespace

void StartResamplers() {
  RegisterBindings();
  RegisterClasses();
  RegisterProperties();
  LinkBitmaps();
}

}  // namespace gfx
