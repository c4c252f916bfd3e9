#include "ui/dib_section.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace ZRBUE {
namespace {

// Every DibSection holding a bitmap, for FindSelectedIn. Never destroyed,
// so that a DibSection that outlives other statics can still leave it.
struct SectionList {
  std::mutex lock;
  std::vector<const DibSection*> sections;
};

SectionList& Sections() {
  static SectionList* list = new SectionList;
  return *list;
}

}  // namespace

bool DibSection::Create(HDC dc, int width, int height) {
  Delete();
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap || !bits) {
    if (bitmap) ::DeleteObject(bitmap);
    return false;
  }
  bitmap_ = bitmap;
  header_ = info.bmiHeader;
  pixels_ = static_cast<uint32_t*>(bits);
  SectionList& list = Sections();
  std::lock_guard<std::mutex> lock(list.lock);
  list.sections.push_back(this);
  return true;
}

void DibSection::Delete() {
  if (bitmap_) {
    {
      SectionList& list = Sections();
      std::lock_guard<std::mutex> lock(list.lock);
      list.sections.erase(std::remove(list.sections.begin(), list.sections.end(), this),
                          list.sections.end());
    }
    ::DeleteObject(bitmap_);
  }
  bitmap_ = nullptr;
  header_ = {};
  pixels_ = nullptr;
}

const DibSection* DibSection::FindSelectedIn(HDC dc) {
  HGDIOBJ bitmap = dc ? ::GetCurrentObject(dc, OBJ_BITMAP) : nullptr;
  if (!bitmap) return nullptr;
  SectionList& list = Sections();
  std::lock_guard<std::mutex> lock(list.lock);
  for (const DibSection* section : list.sections) {
    if (section->bitmap_ == bitmap) return section;
  }
  return nullptr;
}

void MakeGdiPixelsOpaque(DibSection& dib) {
  uint32_t* pixel = dib.GetPixels();
  if (!pixel) return;
  const size_t count = static_cast<size_t>(dib.GetWidth()) * static_cast<size_t>(dib.GetHeight());
  for (uint32_t* end = pixel + count; pixel != end; ++pixel) {
    *pixel = (*pixel & 0xFF000000u) ? 0u : (*pixel | 0xFF000000u);
  }
}

}  // namespace ZRBUE
