// Switching backends and the services the device backend offers.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <new>
#include <utility>

#include "Helpers.h"
#include "graphics/bitmap/Bitmap32.h"
#include "graphics/bitmap/GDIBackend.h"
#include "platform/drawing/Graphics.h"
#include "platform/pictures/Bitmap.h"
#include "platform/runtime/Classes.h"

namespace {

using namespace gfx;
using bitmap_test::FillRandom;
using bitmap_test::Pixels;

TEST(BitmapBackends, LendingTheDeviceBackendKeepsThePixels) {
  TCustomBitmap32 b;
  b.SetSize(7, 5);
  FillRandom(b, 31);
  const auto before = Pixels(b);
  TCustomBackend* original = b.Backend();
  EXPECT_FALSE(Supports(original, TBackendService::DeviceContext));

  TCustomBackend* saved = nullptr;
  EnsureBackendInterfaces(b, {TBackendService::DeviceContext}, TRequireMode::All, false, saved);
  EXPECT_EQ(saved, original);
  EXPECT_EQ(saved->RefCount(), 1);
  EXPECT_TRUE(Supports(b.Backend(), TBackendService::DeviceContext));
  EXPECT_NE(b.BackendAs<IBackendDeviceContextSupport>()->GetHandle(), nullptr);
  EXPECT_EQ(Pixels(b), before);
  RestoreSavedBackend(b, saved);
  EXPECT_EQ(saved, nullptr);
  EXPECT_EQ(b.Backend(), original);
  EXPECT_EQ(b.Width(), 7);
  EXPECT_EQ(Pixels(b), before);

  // Nothing to lend when the backend already offers a service.
  TBitmap32 device;
  EnsureBackendInterfaces(device, {TBackendService::Font, TBackendService::Canvas},
                          TRequireMode::All, false, saved);
  EXPECT_EQ(saved, nullptr);

  // Discarding drops the pixels before the switch.
  {
    TBorrowedBackend borrowed(b, {TBackendService::Canvas, TBackendService::DeviceContext},
                              TRequireMode::Any, true);
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(b.Width(), 0);
  }
  EXPECT_EQ(b.Backend(), original);
}

// A backend that holds no surface and takes any size, even one no other backend accepts, so
// that handing its size to the device backend fails.
class SizeOnlyBackend final : public TCustomBackend {
 public:
  explicit SizeOnlyBackend(bool& freed) : freed_(freed) {}
  ~SizeOnlyBackend() override { freed_ = true; }
  void ChangeSize(int32_t& width, int32_t& height, int32_t newWidth, int32_t newHeight,
                  bool) override {
    width = newWidth;
    height = newHeight;
    Changed();
  }
  bool Empty() const override { return true; }

 protected:
  void AllocateSurface(int32_t, int32_t, bool) override {}
  void FreeSurface() override {}

 private:
  bool& freed_;
};

TEST(BitmapBackends, AFailedSwitchGivesBackTheReferenceKeptForRestoring) {
  bool freed = false;
  {
    TCustomBitmap32 b;
    auto* backend = new SizeOnlyBackend(freed);  // the bitmap takes over this reference
    b.SetBackend(backend);
    b.SetSize(40000, 1);
    TCustomBackend* saved = nullptr;
    EXPECT_THROW(EnsureBackendInterfaces(b, {TBackendService::DeviceContext}, TRequireMode::All,
                                         false, saved),
                 EBitmapException);
    EXPECT_EQ(saved, nullptr);
    EXPECT_EQ(b.Backend(), backend);
    EXPECT_EQ(backend->RefCount(), 1);
    EXPECT_THROW(TBorrowedBackend(b, {TBackendService::Canvas}, TRequireMode::All, false),
                 EBitmapException);
    EXPECT_EQ(backend->RefCount(), 1);
  }
  EXPECT_TRUE(freed);
}

// Plain memory whose next allocation can be made to fail, as a full machine would.
class FailingBackend final : public TCustomBackend {
 public:
  bool failNext = false;

 protected:
  void AllocateSurface(int32_t width, int32_t height, bool) override {
    if (std::exchange(failNext, false)) throw std::bad_alloc();
    memory_ = std::make_unique<TColor32[]>(std::size_t(width) * std::size_t(height));
    bits_ = memory_.get();
  }
  void FreeSurface() override {
    memory_.reset();
    bits_ = nullptr;
  }

 private:
  std::unique_ptr<TColor32[]> memory_;
};

// Every way a bitmap gets new pixels of another size: when the last allocation fails, the error
// is clear and the picture that was there stays, size and pixels.
TEST(BitmapBackends, AFailedAllocationLeavesThePictureAsItWas) {
  TCustomBitmap32 other;
  other.SetSize(5, 3);
  FillRandom(other, 3);
  plat::TMemoryStream bmp, data, platformBmp;
  other.SaveToStream(bmp, false);
  other.WriteData(data);
  plat::TBitmap platformPicture;
  platformPicture.SetPixelFormat(plat::pf24bit);
  platformPicture.SetSize(6, 2);
  platformPicture.SaveToStream(platformBmp);
  const std::vector<std::pair<const char*, std::function<void(TCustomBitmap32&)>>> loads = {
      {"SetSize", [](TCustomBitmap32& b) { b.SetSize(9, 9); }},
      {"32-bit BMP",
       [&](TCustomBitmap32& b) {
         bmp.SetPosition(0);
         b.LoadFromStream(bmp);
       }},
      {"other BMP",
       [&](TCustomBitmap32& b) {
         platformBmp.SetPosition(0);
         b.LoadFromStream(platformBmp);
       }},
      {"Data",
       [&](TCustomBitmap32& b) {
         data.SetPosition(0);
         b.ReadData(data);
       }},
      {"Assign", [&](TCustomBitmap32& b) { b.Assign(other); }},
      {"Rotate90", [](TCustomBitmap32& b) { b.Rotate90(); }},
  };
  for (const auto& [name, load] : loads) {
    TCustomBitmap32 b;
    auto* backend = new FailingBackend();  // the bitmap takes over this reference
    b.SetBackend(backend);
    b.SetSize(4, 2);
    FillRandom(b, 11);
    const auto before = Pixels(b);
    backend->failNext = true;
    EXPECT_THROW(load(b), EBitmapException) << name;
    EXPECT_EQ(b.Width(), 4) << name;
    EXPECT_EQ(b.Height(), 2) << name;
    EXPECT_EQ(b.Bits(), backend->Bits()) << name;
    EXPECT_EQ(Pixels(b), before) << name;
    load(b);  // and with memory to spare it works
    EXPECT_NE(b.Width(), 4) << name;
  }
}

TEST(BitmapBackends, DeviceBitmapServicesAndNotifications) {
  TBitmap32 b;
  int handleChanges = 0, changes = 0;
  b.OnHandleChanged = [&](plat::TObject*) { ++handleChanges; };
  b.SetSize(4, 4);
  EXPECT_EQ(handleChanges, 1);
  ASSERT_NE(b.Handle(), nullptr);
  EXPECT_EQ(b.Handle()->Bits(), b.Bits());
  b.OnChange = [&](plat::TObject*) { ++changes; };
  b.Canvas().Brush().SetColor(plat::clRed);
  b.Canvas().FillRect({0, 0, 2, 2});
  EXPECT_GE(changes, 1);  // the canvas reports through the bitmap
  EXPECT_EQ(b.Pixel(0, 0) & 0xFFFFFF, 0xFF0000u);
  // A new surface gets the canvas back on its context.
  b.SetSize(8, 8);
  EXPECT_EQ(b.Canvas().Handle(), b.Handle());

  TBitmap32 other;
  b.Font().SetName("DejaVu Sans Mono");
  b.Font().SetSize(23);
  b.CopyPropertiesTo(other);
  EXPECT_EQ(other.Font().Name(), "DejaVu Sans Mono");
  EXPECT_EQ(other.Font().Size(), 23);

  // A device bitmap moved to plain memory has no canvas.
  b.SetBackend(std::make_unique<TMemoryBackend>().release());
  EXPECT_EQ(b.Width(), 8);
  EXPECT_THROW(b.Canvas(), plat::EIntfCastError);
}

TEST(BitmapBackends, DeviceCopiesMoveAllBits) {
  TBitmap32 source, target;
  source.SetSize(5, 4);
  FillRandom(source, 8);
  target.SetSize(5, 4);
  auto* dc = source.BackendAs<IBackendDeviceContextSupport>();
  dc->DrawTo(*target.Handle(), 0, 0);
  EXPECT_EQ(Pixels(target), Pixels(source));
  target.Clear();
  target.BackendAs<IBackendDeviceContextSupport>()->Draw({0, 0, 5, 4}, {0, 0, 5, 4},
                                                         *source.Handle());
  EXPECT_EQ(Pixels(target), Pixels(source));
}

}  // namespace
