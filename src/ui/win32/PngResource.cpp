#include "ui/win32/PngResource.h"

#include <cstring>

void CPngPicture::Release() {
    if (m_pBitmap) gdip::GdipDisposeImage(m_pBitmap);
    if (m_pStream) m_pStream->Release();
    // The stream does not own its memory.
    if (m_hMemory) GlobalFree(m_hMemory);
    m_pBitmap = nullptr;
    m_pStream = nullptr;
    m_hMemory = nullptr;
}

bool LoadPngResource(HRSRC resource, HMODULE module, CPngPicture& picture) {
    picture.Release();
    if (!resource) return false;
    const DWORD size = SizeofResource(module, resource);
    HGLOBAL loaded = LoadResource(module, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes || size == 0) return false;

    HGLOBAL memory = GlobalAlloc(GMEM_FIXED, size);
    if (!memory) return false;
    std::memcpy(GlobalLock(memory), bytes, size);
    GlobalUnlock(memory);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(memory, FALSE, &stream))) {
        GlobalFree(memory);
        return false;
    }
    GpBitmap* bitmap = nullptr;
    if (gdip::GdipCreateBitmapFromStream(stream, &bitmap) != Gdiplus::Ok) {
        stream->Release();
        GlobalFree(memory);
        return false;
    }
    picture.m_pBitmap = bitmap;
    picture.m_pStream = stream;
    picture.m_hMemory = memory;
    return true;
}

bool LoadPngResource(HMODULE module, int id, CPngPicture& picture) {
    return LoadPngResource(FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG"), module, picture);
}
