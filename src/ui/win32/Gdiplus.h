// GDI+ through its flat API, as the drawing code uses it.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

using Gdiplus::GpBitmap;
using Gdiplus::GpGraphics;
using Gdiplus::GpImage;
namespace gdip = Gdiplus::DllExports;
