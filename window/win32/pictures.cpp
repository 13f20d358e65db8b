#include "pictures.h"

#include <gdiplus.h>
#include <shlwapi.h>

#include "picture_sizes.h"
#include "resource_ids.h"

namespace tempulix::win32 {
namespace {

// The resource holding a picture drawn for a size: the 32 px GIF, or one drawn larger for a
// high-DPI screen (the smallest that is at least as large, else the largest).
int pictureResource(int id, int size) {
  if (size <= 32) {
    return id;
  }
  std::size_t index = 0;
  while (index + 1 < scaledPictureSizes.size() && size > scaledPictureSizes[index]) {
    ++index;
  }
  return id + static_cast<int>(index + 1) * TEMPULIX_PICTURE_SCALED_STEP;
}

}  // namespace

// The GIF's transparent index and the PNGs' alpha stay transparent.
OwnedImageList loadPicture(HINSTANCE instance, int id, int size) {
  const int resourceId = pictureResource(id, size);
  HRSRC resource =
      FindResourceW(instance, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(10));  // RCDATA
  HGLOBAL loaded = resource ? LoadResource(instance, resource) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) {
    return nullptr;
  }
  IStream* stream =
      SHCreateMemStream(static_cast<const BYTE*>(bytes), SizeofResource(instance, resource));
  if (!stream) {
    return nullptr;
  }
  Gdiplus::GpBitmap* bitmap = nullptr;
  HBITMAP dib = nullptr;
  if (Gdiplus::DllExports::GdipCreateBitmapFromStream(stream, &bitmap) == Gdiplus::Ok) {
    UINT drawnSize = 0;
    Gdiplus::DllExports::GdipGetImageWidth(bitmap, &drawnSize);
    // Decoded to 32-bit ARGB; an 8-bit GIF drawn as it is would lose its transparency. Only a
    // scale between the drawn sizes resamples the nearest drawing.
    Gdiplus::GpBitmap* scaledBitmap = nullptr;
    if (drawnSize != static_cast<UINT>(size) &&
        Gdiplus::DllExports::GdipCreateBitmapFromScan0(size, size, 0, PixelFormat32bppARGB, nullptr,
                                                       &scaledBitmap) == Gdiplus::Ok) {
      Gdiplus::GpGraphics* graphics = nullptr;
      Gdiplus::DllExports::GdipGetImageGraphicsContext(scaledBitmap, &graphics);
      Gdiplus::DllExports::GdipSetInterpolationMode(graphics,
                                                    Gdiplus::InterpolationModeHighQualityBicubic);
      Gdiplus::DllExports::GdipDrawImageRectI(graphics, bitmap, 0, 0, size, size);
      Gdiplus::DllExports::GdipDeleteGraphics(graphics);
      Gdiplus::DllExports::GdipDisposeImage(bitmap);
      bitmap = scaledBitmap;
    }
    Gdiplus::DllExports::GdipCreateHBITMAPFromBitmap(bitmap, &dib, 0);
    Gdiplus::DllExports::GdipDisposeImage(bitmap);
  }
  stream->Release();
  if (!dib) {
    return nullptr;
  }
  OwnedImageList list(ImageList_Create(size, size, ILC_COLOR32, 1, 0));
  if (list) {
    ImageList_Add(list.get(), dib, nullptr);
  }
  DeleteObject(dib);
  return list;
}

GdiplusSession::GdiplusSession() {
  Gdiplus::GdiplusStartupInput input;
  if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) {
    token_ = 0;
  }
}

GdiplusSession::~GdiplusSession() {
  if (token_) {
    Gdiplus::GdiplusShutdown(token_);
  }
}

}  // namespace tempulix::win32
