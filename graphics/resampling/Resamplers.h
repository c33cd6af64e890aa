// Folder graphics/resampling: kernels, samplers, resamplers, block and stretch transfers,
// rasterizers and transforms. Uses graphics/core, graphics/bitmap and graphics/filters.
//
// Moving pixels between bitmaps: block and stretch transfers in every draw mode, kernel
// stretching, the nearest, linear, draft and kernel resamplers, the processor-bound block average
// and four-pixel interpolation, and the registries of resampler and kernel classes by name.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "graphics/core/Containers.h"
#include "graphics/core/OrdinalMaps.h"
#include "graphics/core/Types.h"
#include "graphics/resampling/Kernels.h"
#include "graphics/resampling/Samplers.h"

namespace gfx {

class TCustomBitmap32;

// ---- Transfers ----

// Raises EBitmapException naming the missing bitmap, destination first.
void CheckBitmaps(const TCustomBitmap32* Dst, const TCustomBitmap32* Src);
// Writes the block of Src at (SrcX, SrcY) into DstRect; no clipping, no notification.
void BlendBlock(TCustomBitmap32& Dst, const TRect& DstRect, const TCustomBitmap32& Src,
                int32_t SrcX, int32_t SrcY, TDrawMode CombineOp,
                const TPixelCombineEvent& CombineCallBack);
void BlockTransfer(TCustomBitmap32& Dst, int32_t DstX, int32_t DstY, const TRect& DstClip,
                   TCustomBitmap32& Src, const TRect& SrcRect, TDrawMode CombineOp,
                   const TPixelCombineEvent& CombineCallBack);
void StretchTransfer(TCustomBitmap32& Dst, const TRect& DstRect, const TRect& DstClip,
                     TCustomBitmap32& Src, const TRect& SrcRect, TCustomResampler* Resampler,
                     TDrawMode CombineOp, const TPixelCombineEvent& CombineCallBack);
// Raises "Invalid SrcRect" for a source rectangle outside Src.
void StretchNearest(TCustomBitmap32& Dst, const TRect& DstRect, const TRect& DstClip,
                    TCustomBitmap32& Src, const TRect& SrcRect, TDrawMode CombineOp,
                    const TPixelCombineEvent& CombineCallBack);

// ---- Stretching routines: each raises "Invalid SrcRect" for a source rectangle leaving Src and
// writes only inside Dst, DstRect and DstClip; no notification ----

struct TPointRec {
  int32_t Pos;
  int32_t Weight;  // 256 is a whole pixel
  bool operator==(const TPointRec&) const = default;
};
using TCluster = std::vector<TPointRec>;
using TMappingTable = std::vector<TCluster>;

// One axis: a cluster per destination index of ClipLo..ClipHi - 1; weights sum to 256 and
// positions lie in SrcLo..SrcHi - 1.
TMappingTable BuildMappingTable(int32_t DstLo, int32_t DstHi, int32_t ClipLo, int32_t ClipHi,
                                int32_t SrcLo, int32_t SrcHi, const TCustomKernel& Kernel);
void Resample(TCustomBitmap32& Dst, const TRect& DstRect, const TRect& DstClip,
              TCustomBitmap32& Src, const TRect& SrcRect, const TCustomKernel& Kernel,
              TDrawMode CombineOp, const TPixelCombineEvent& CombineCallBack);

// Bilinear enlargement in both directions; a source side below 2 goes the kernel way.
void StretchHorzStretchVertLinear(TCustomBitmap32& Dst, const TRect& DstRect, const TRect& DstClip,
                                  TCustomBitmap32& Src, const TRect& SrcRect, TDrawMode CombineOp,
                                  const TPixelCombineEvent& CombineCallBack);
// Block averaging when reducing; enlarging goes the linear or kernel way.
void DraftResample(TCustomBitmap32& Dst, const TRect& DstRect, const TRect& DstClip,
                   TCustomBitmap32& Src, const TRect& SrcRect, const TCustomKernel& Kernel,
                   TDrawMode CombineOp, const TPixelCombineEvent& CombineCallBack);

// ---- Processor-bound routines ("Resamplers bindings") ----

// The exact mean (rounded down) of each channel of a Dlx x Dly block, rows OffSrc bytes apart.
using TBlockAverage = TColor32 (*)(uint32_t Dlx, uint32_t Dly, const TColor32* RowSrc,
                                   uint32_t OffSrc);
// C11 weighted by WX against the pixel after it, likewise C21; the two rows weighted by WY.
using TInterpolator = TColor32 (*)(uint32_t WX_256, uint32_t WY_256, const TColor32* C11,
                                   const TColor32* C21);
extern TBlockAverage BlockAverage;
extern TInterpolator Interpolator;
inline constexpr int32_t FID_BlockAverage = 0;
inline constexpr int32_t FID_Interpolator = 1;

// ---- Resamplers ----

class TNearestResampler : public TCustomResampler {
 public:
  TColor32 GetSampleInt(int32_t X, int32_t Y) override;
  TColor32 GetSampleFixed(TFixed X, TFixed Y) override;
  TColor32 GetSampleFloat(float X, float Y) override;
  void PrepareSampling() override;
  float GetWidth() const override { return 1; }
  void Resample(TCustomBitmap32& Dst, const TRect& DstRect, const TRect& DstClip,
                TCustomBitmap32& Src, const TRect& SrcRect, TDrawMode CombineOp,
                const TPixelCombineEvent& CombineCallBack) override;

 private:
  TColor32 ReadEdge(int32_t X, int32_t Y) const;
  TColor32 Read(int32_t X, int32_t Y) const;
  TPixelAccessMode mode_ = pamSafe;
};

class TLinearResampler : public TCustomResampler {
 public:
  TLinearResampler();
  // Final: the run below stands for it.
  TColor32 GetSampleFixed(TFixed X, TFixed Y) final;
  bool GetSampleRunFixed(TFixed X, TFixed Y, TFixed Dx, TFixed Dy, int32_t Count, TColor32* Out,
                         const TCustomBitmap32& Target) final;
  TColor32 GetSampleFloat(float X, float Y) override;
  void PrepareSampling() override;
  float GetWidth() const override { return 1; }
  void Resample(TCustomBitmap32& Dst, const TRect& DstRect, const TRect& DstClip,
                TCustomBitmap32& Src, const TRect& SrcRect, TDrawMode CombineOp,
                const TPixelCombineEvent& CombineCallBack) override;

 protected:
  const TCustomKernel& LinearKernel() const { return *kernel_; }

 private:
  using TFixedReader = TColor32 (TLinearResampler::*)(TFixed X, TFixed Y) const;
  TColor32 ReadOutside(TFixed X, TFixed Y) const;
  TColor32 ReadWrapped(TFixed X, TFixed Y) const;
  TColor32 ReadEdge(TFixed X, TFixed Y) const;
  TColor32 ReadClipped(TFixed X, TFixed Y) const;
  std::unique_ptr<TLinearKernel> kernel_;
  // Chosen by PrepareSampling for the access mode.
  TFixedReader reader_ = &TLinearResampler::ReadOutside;
};

class TDraftResampler : public TLinearResampler {
 public:
  void Resample(TCustomBitmap32& Dst, const TRect& DstRect, const TRect& DstClip,
                TCustomBitmap32& Src, const TRect& SrcRect, TDrawMode CombineOp,
                const TPixelCombineEvent& CombineCallBack) override;
};

enum TKernelMode : uint8_t { kmDynamic, kmTableNearest, kmTableLinear };

class TKernelResampler : public TCustomResampler {
 public:
  static constexpr int32_t MaxRadius = 16;
  static constexpr int32_t MaxTableSize = 32768;

  TKernelResampler();
  ~TKernelResampler() override;

  TCustomKernel* Kernel() const { return kernel_.get(); }
  // The kernel as the property table reaches it.
  TCustomKernel* KernelObject() { return kernel_.get(); }
  // Takes ownership; null is refused.
  void SetKernel(std::unique_ptr<TCustomKernel> Value);
  std::string KernelClassName() const;
  // An unknown name changes nothing.
  void SetKernelClassName(const std::string& Value);
  TKernelMode KernelMode() const { return kernelMode_; }
  void SetKernelMode(TKernelMode Value);
  int32_t TableSize() const { return tableSize_; }
  // Kept in 2..32768.
  void SetTableSize(int32_t Value);

  TColor32 GetSampleFloat(float X, float Y) override;
  void PrepareSampling() override;
  void FinalizeSampling() override;
  float GetWidth() const override;
  void Resample(TCustomBitmap32& Dst, const TRect& DstRect, const TRect& DstClip,
                TCustomBitmap32& Src, const TRect& SrcRect, TDrawMode CombineOp,
                const TPixelCombineEvent& CombineCallBack) override;

 private:
  using TWeights = std::array<int32_t, 2 * MaxRadius + 1>;
  // Weights for the offsets -W..W at the fraction Ceil(P) - P of one axis.
  void AxisWeights(float Fraction, TWeights& Weights) const;

  std::unique_ptr<TCustomKernel> kernel_;
  TKernelMode kernelMode_ = kmDynamic;
  int32_t tableSize_ = 32;
  std::unique_ptr<TIntegerMap> weightTable_;
  // What the current series of samples was prepared with; a table mode only while the table
  // lives.
  TKernelMode samplingMode_ = kmDynamic;
  int32_t samplingTableSize_ = 32;
  TColor32 outerColor_ = 0;
  int32_t radius_ = 0;
};

// ---- Class registries ----

using TResamplerClassList = TClassList<TCustomResampler>;
using TKernelClassList = TClassList<TCustomKernel>;
TResamplerClassList& ResamplerList();
TKernelClassList& KernelList();

template <class R>
void RegisterResampler(std::string Name) {
  ResamplerList().Add({std::move(Name), [] { return std::make_unique<R>(); }});
}
template <class K>
void RegisterKernel(std::string Name) {
  KernelList().Add({std::move(Name), [] { return std::make_unique<K>(); }});
}

// Creates the "Resamplers bindings" registry, registers the classes by name and their published
// properties, and hands the transfers to the bitmaps.
void StartResamplers();

}  // namespace gfx
