// GDI+ pictures made from the program's "PNG" resources.
#pragma once

#include <windows.h>

#include "ui/win32/Gdiplus.h"

// A picture together with the stream and memory it is read from: GDI+ reads the
// stream whenever it needs the picture, so both live as long as the picture.
class CPngPicture {
public:
    CPngPicture() = default;
    ~CPngPicture() { Release(); }
    CPngPicture(const CPngPicture&) = delete;
    CPngPicture& operator=(const CPngPicture&) = delete;

    GpBitmap* Bitmap() const { return m_pBitmap; }
    void Release();

private:
    friend bool LoadPngResource(HRSRC resource, HMODULE module, CPngPicture& picture);
    GpBitmap* m_pBitmap = nullptr;
    IStream* m_pStream = nullptr;
    HGLOBAL m_hMemory = nullptr;
};

// Makes a picture from a found "PNG" resource; on failure the picture stays empty.
bool LoadPngResource(HRSRC resource, HMODULE module, CPngPicture& picture);
// FindResourceW(module, id, "PNG") and LoadPngResource.
bool LoadPngResource(HMODULE module, int id, CPngPicture& picture);
