// Every image of icon groups 128 to 132 as the system draws it (DrawIconEx, DI_NORMAL)
// over black and over white: a palette image shows the screen exactly where the 32-bit
// image of its size is transparent, and covers it everywhere else.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "UiTestSupport.h"

namespace {

// The resource forms of an icon group's directory.
#pragma pack(push, 2)
struct GroupHeader {
    WORD reserved, type, count;
};
struct GroupEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

struct IconImage {
    int size = 0;
    int bpp = 0;
    const BYTE* bits = nullptr;  // a bitmap header, then palette, colour and mask rows
    DWORD bytes = 0;
};

std::vector<IconImage> GroupImages(int group) {
    HMODULE module = GetModuleHandleW(nullptr);
    std::vector<IconImage> images;
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(group), RT_GROUP_ICON);
    if (!found) return images;
    const auto* header = static_cast<const GroupHeader*>(LockResource(LoadResource(module, found)));
    const auto* entries = reinterpret_cast<const GroupEntry*>(header + 1);
    for (WORD i = 0; i < header->count; ++i) {
        HRSRC image = FindResourceW(module, MAKEINTRESOURCEW(entries[i].id), RT_ICON);
        images.push_back({entries[i].width ? entries[i].width : 256, entries[i].bitCount,
                          static_cast<const BYTE*>(LockResource(LoadResource(module, image))),
                          SizeofResource(module, image)});
    }
    return images;
}

// The pixels of the image drawn at its own size on a screen of one colour, top row first.
std::vector<COLORREF> Drawn(const IconImage& image, COLORREF screen) {
    HICON icon = CreateIconFromResourceEx(const_cast<BYTE*>(image.bits), image.bytes, TRUE, 0x00030000, image.size,
                                          image.size, LR_DEFAULTCOLOR);
    Canvas canvas(image.size, image.size, screen);
    DrawIconEx(canvas.Dc(), 0, 0, icon, image.size, image.size, 0, nullptr, DI_NORMAL);
    DestroyIcon(icon);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < image.size; ++y)
        for (int x = 0; x < image.size; ++x) pixels.push_back(canvas.At(x, y));
    return pixels;
}

// The alpha of a 32-bit image's pixel; its rows run bottom up after the 40-byte header.
int Alpha(const IconImage& image, int x, int y) {
    return image.bits[40 + ((image.size - 1 - y) * image.size + x) * 4 + 3];
}

TEST(IconResources, PaletteImagesDrawTransparentWhereTheirTrueColourSiblingIs) {
    for (int group = 128; group <= 132; ++group) {
        const std::vector<IconImage> images = GroupImages(group);
        ASSERT_FALSE(images.empty()) << "no icon group " << group;
        std::map<int, IconImage> trueColour;
        for (const IconImage& image : images)
            if (image.bpp == 32) trueColour[image.size] = image;
        for (const IconImage& image : images) {
            if (image.bpp == 32) continue;
            ASSERT_TRUE(trueColour.count(image.size)) << "group " << group << ", " << image.size << " px";
            const IconImage& reference = trueColour[image.size];
            const std::vector<COLORREF> overBlack = Drawn(image, RGB(0, 0, 0)),
                                        overWhite = Drawn(image, RGB(255, 255, 255));
            int wrong = 0;
            std::string first;
            for (int y = 0; y < image.size; ++y)
                for (int x = 0; x < image.size; ++x) {
                    const COLORREF black = overBlack[y * image.size + x], white = overWhite[y * image.size + x];
                    const bool ok = Alpha(reference, x, y) < 128 ? black == RGB(0, 0, 0) && white == RGB(255, 255, 255)
                                                                 : black == white;
                    if (!ok && wrong++ == 0)
                        first = std::to_string(x) + "," + std::to_string(y) + ": " + Describe(black) + " over black, " +
                                Describe(white) + " over white";
                }
            EXPECT_EQ(wrong, 0) << "group " << group << ", " << image.size << " px at " << image.bpp
                                << " bits, first at " << first;
        }
    }
}

}  // namespace
