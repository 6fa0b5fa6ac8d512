#pragma once
// The frame's picture conversions: an image file into a premultiplied 32-bit DIB, and such a
// bitmap into a GDI+ bitmap that draws with its alpha.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <memory>
#include <string>

#include "uitoolkit/core/ImageEntry.h"

// Reads the whole file and decodes it (any format the toolkit's decoder reads) into a 32-bit
// top-down DIB with premultiplied colour. Null for a missing, empty, undecodable or oversized
// file.
std::unique_ptr<SkinUI::ImageEntry> LoadBmpFileToDib(const std::wstring& path);

// An upright GDI+ bitmap in premultiplied ARGB with the pixels of a 32-bit bitmap. Null on any
// GDI or GDI+ failure, or for a bitmap larger than the toolkit's image limit.
std::unique_ptr<Gdiplus::Bitmap> HBitmapToGdiplusBitmap(HBITMAP bitmap);
