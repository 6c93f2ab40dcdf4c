#include "platform/win32/wic_png_codec.h"

#include <objbase.h>
#include <wincodec.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <utility>

namespace plumage::platform {

using formats::RgbaImage;
using formats::kMaxPngSide;
using formats::LooksLikePng;

namespace {

// COM for the length of one call; a caller that has it already keeps it.
class ComScope {
 public:
  ComScope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  HRESULT hr_;
};

// A COM pointer released when it goes.
template <typename T>
class Com {
 public:
  Com() = default;
  ~Com() {
    if (p_) p_->Release();
  }
  Com(const Com&) = delete;
  Com& operator=(const Com&) = delete;
  T** out() { return &p_; }
  T* operator->() const { return p_; }
  T* get() const { return p_; }

 private:
  T* p_ = nullptr;
};

Error WicError(const char* what, HRESULT hr) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(hr));
  return MakeError(ErrorKind::Invalid, std::string(what) + " (Windows Imaging Component " + code + ")");
}

HRESULT CreateFactory(Com<IWICImagingFactory>& factory) {
  return CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                          IID_IWICImagingFactory, reinterpret_cast<void**>(factory.out()));
}

}  // namespace

Result<RgbaImage> WicPngCodec::Decode(std::span<const std::uint8_t> bytes) {
  if (!LooksLikePng(bytes)) return MakeError(ErrorKind::Invalid, "not a PNG image");
  if (bytes.size() > 0x7FFFFFFFu) return MakeError(ErrorKind::Unsupported, "PNG image too large");
  ComScope com;
  Com<IWICImagingFactory> factory;
  HRESULT hr = CreateFactory(factory);
  if (FAILED(hr)) return WicError("cannot decode PNG images", hr);
  Com<IWICStream> stream;
  hr = factory->CreateStream(stream.out());
  if (SUCCEEDED(hr))
    hr = stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()),
                                      static_cast<DWORD>(bytes.size()));
  Com<IWICBitmapDecoder> decoder;
  if (SUCCEEDED(hr))
    hr = factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                          decoder.out());
  Com<IWICBitmapFrameDecode> frame;
  if (SUCCEEDED(hr)) hr = decoder->GetFrame(0, frame.out());
  if (FAILED(hr)) return WicError("damaged PNG image", hr);
  UINT width = 0, height = 0;
  hr = frame->GetSize(&width, &height);
  if (FAILED(hr)) return WicError("damaged PNG image", hr);
  if (width == 0 || height == 0 || width > static_cast<UINT>(kMaxPngSide) ||
      height > static_cast<UINT>(kMaxPngSide))
    return MakeError(ErrorKind::Unsupported, "PNG image of " + std::to_string(width) + " x " +
                                                 std::to_string(height) + " pixels is too large");
  Com<IWICFormatConverter> converter;
  hr = factory->CreateFormatConverter(converter.out());
  if (SUCCEEDED(hr))
    hr = converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone,
                               nullptr, 0.0, WICBitmapPaletteTypeCustom);
  RgbaImage image;
  image.width = static_cast<int>(width);
  image.height = static_cast<int>(height);
  image.rgba.resize(static_cast<std::size_t>(width) * height * 4);
  if (SUCCEEDED(hr))
    hr = converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(image.rgba.size()),
                               image.rgba.data());
  if (FAILED(hr)) return WicError("damaged PNG image", hr);
  for (std::size_t i = 0; i < image.rgba.size(); i += 4) std::swap(image.rgba[i], image.rgba[i + 2]);
  return image;
}

Result<std::vector<std::uint8_t>> WicPngCodec::Encode(const RgbaImage& image) {
  if (image.width <= 0 || image.height <= 0 || image.width > kMaxPngSide ||
      image.height > kMaxPngSide ||
      image.rgba.size() != static_cast<std::size_t>(image.width) * image.height * 4)
    return MakeError(ErrorKind::Invalid, "no picture to encode as PNG");
  std::vector<std::uint8_t> bgra = image.rgba;
  for (std::size_t i = 0; i < bgra.size(); i += 4) std::swap(bgra[i], bgra[i + 2]);
  ComScope com;
  Com<IWICImagingFactory> factory;
  HRESULT hr = CreateFactory(factory);
  if (FAILED(hr)) return WicError("cannot encode PNG images", hr);
  Com<IStream> stream;
  hr = CreateStreamOnHGlobal(nullptr, TRUE, stream.out());
  Com<IWICBitmapEncoder> encoder;
  if (SUCCEEDED(hr)) hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.out());
  if (SUCCEEDED(hr)) hr = encoder->Initialize(stream.get(), WICBitmapEncoderNoCache);
  Com<IWICBitmapFrameEncode> frame;
  if (SUCCEEDED(hr)) hr = encoder->CreateNewFrame(frame.out(), nullptr);
  if (SUCCEEDED(hr)) hr = frame->Initialize(nullptr);
  if (SUCCEEDED(hr))
    hr = frame->SetSize(static_cast<UINT>(image.width), static_cast<UINT>(image.height));
  WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
  if (SUCCEEDED(hr)) hr = frame->SetPixelFormat(&format);
  if (SUCCEEDED(hr) && !IsEqualGUID(format, GUID_WICPixelFormat32bppBGRA)) hr = E_FAIL;
  if (SUCCEEDED(hr))
    hr = frame->WritePixels(static_cast<UINT>(image.height), static_cast<UINT>(image.width) * 4,
                            static_cast<UINT>(bgra.size()), bgra.data());
  if (SUCCEEDED(hr)) hr = frame->Commit();
  if (SUCCEEDED(hr)) hr = encoder->Commit();
  HGLOBAL memory = nullptr;
  if (SUCCEEDED(hr)) hr = GetHGlobalFromStream(stream.get(), &memory);
  if (FAILED(hr)) return WicError("cannot encode the picture as PNG", hr);
  STATSTG stat{};
  hr = stream->Stat(&stat, STATFLAG_NONAME);
  if (FAILED(hr)) return WicError("cannot encode the picture as PNG", hr);
  std::vector<std::uint8_t> out(static_cast<std::size_t>(stat.cbSize.QuadPart));
  const void* data = GlobalLock(memory);
  if (!data) return WicError("cannot encode the picture as PNG", E_OUTOFMEMORY);
  std::memcpy(out.data(), data, out.size());
  GlobalUnlock(memory);
  return out;
}

}  // namespace plumage::platform
