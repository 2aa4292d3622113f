// The icon files built into the agent (groups 128 to 132): which images each holds,
// and that every palette image draws like its 32-bit sibling. The system draws a
// palette icon as screen AND mask, then XOR colour, so a transparent pixel needs a set
// mask bit over a black colour; any other colour tints the screen under the icon.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

struct IconImage {
    int size = 0;
    int bpp = 0;
    std::vector<std::uint32_t> colour;  // 0xAARRGGBB, top row first (alpha only for 32 bits)
    std::vector<bool> mask;             // set: the screen shows through
};

std::uint32_t Le(const std::vector<std::uint8_t>& b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | b.at(at + i);
    return v;
}

std::size_t RowBytes(int width, int bpp) { return (static_cast<std::size_t>(width) * bpp + 31) / 32 * 4; }

// One image: a bitmap header, the palette, the colour rows and the mask rows, both
// bottom row first.
IconImage DecodeImage(const std::vector<std::uint8_t>& file, std::size_t at, int size) {
    IconImage image;
    image.size = size;
    EXPECT_EQ(Le(file, at, 4), 40u) << "not a bitmap image at " << at;
    EXPECT_EQ(static_cast<int>(Le(file, at + 4, 4)), size);
    EXPECT_EQ(static_cast<int>(Le(file, at + 8, 4)), 2 * size);
    image.bpp = static_cast<int>(Le(file, at + 14, 2));
    const std::uint32_t used = Le(file, at + 32, 4);
    const std::size_t colours = image.bpp <= 8 ? (used ? used : 1u << image.bpp) : 0;
    std::vector<std::uint32_t> palette;
    for (std::size_t i = 0; i < colours; ++i) palette.push_back(Le(file, at + 40 + 4 * i, 4) & 0xFFFFFF);
    const std::size_t bits = at + 40 + 4 * colours, maskBits = bits + RowBytes(size, image.bpp) * size;
    image.colour.resize(static_cast<std::size_t>(size) * size);
    image.mask.resize(image.colour.size());
    for (int y = 0; y < size; ++y) {
        const std::size_t row = bits + RowBytes(size, image.bpp) * (size - 1 - y);
        const std::size_t maskRow = maskBits + RowBytes(size, 1) * (size - 1 - y);
        for (int x = 0; x < size; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * size + x;
            image.mask[i] = file.at(maskRow + x / 8) >> (7 - x % 8) & 1;
            if (image.bpp == 32) {
                image.colour[i] = Le(file, row + 4 * x, 4);
                continue;
            }
            const int bit = x * image.bpp;
            const std::size_t index = file.at(row + bit / 8) >> (8 - image.bpp - bit % 8) & ((1u << image.bpp) - 1);
            image.colour[i] = palette.at(index);
        }
    }
    return image;
}

std::vector<IconImage> ReadIcon(const std::string& name) {
    std::ifstream in(std::string(K7_RES_DIR) + "/" + name, std::ios::binary);
    const std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in), {}};
    std::vector<IconImage> images;
    if (file.size() < 6 || Le(file, 0, 2) != 0 || Le(file, 2, 2) != 1) {
        ADD_FAILURE() << name << " is not an icon file";
        return images;
    }
    for (std::uint32_t n = 0; n < Le(file, 4, 2); ++n) {
        const std::size_t entry = 6 + 16 * n;
        const int size = file.at(entry) ? file.at(entry) : 256;
        images.push_back(DecodeImage(file, Le(file, entry + 12, 4), size));
        EXPECT_EQ(static_cast<int>(Le(file, entry + 6, 2)), images.back().bpp) << name << " image " << n;
    }
    return images;
}

// What drawing the image with its mask leaves on a screen of one colour.
std::uint32_t Drawn(const IconImage& image, std::size_t i, std::uint32_t screen) {
    return ((image.mask[i] ? screen : 0) ^ image.colour[i]) & 0xFFFFFF;
}

using Images = std::vector<std::pair<int, int>>;  // size, bits per pixel

Images MenuImages() {
    return {{48, 32}, {48, 8},  {48, 4}, {32, 32}, {32, 8}, {32, 4}, {24, 32}, {24, 8},
            {24, 4},  {16, 32}, {16, 8}, {16, 4},  {48, 1}, {32, 1}, {16, 1}};
}

const std::map<int, std::pair<std::string, Images>>& Groups() {
    static const std::map<int, std::pair<std::string, Images>> groups{
        {128,
         {"app.ico",
          {{256, 32},
           {256, 8},
           {256, 4},
           {128, 32},
           {96, 32},
           {72, 32},
           {64, 32},
           {48, 32},
           {32, 32},
           {24, 32},
           {16, 32}}}},
        {129, {"menu-129.ico", MenuImages()}},
        {130, {"menu-130.ico", MenuImages()}},
        {131, {"menu-131.ico", MenuImages()}},
        {132, {"menu-132.ico", MenuImages()}},
    };
    return groups;
}

TEST(IconFiles, EachGroupHoldsItsSizesAndDepths) {
    for (const auto& [id, group] : Groups()) {
        Images found;
        for (const IconImage& image : ReadIcon(group.first)) found.emplace_back(image.size, image.bpp);
        EXPECT_EQ(found, group.second) << "group " << id;
    }
}

// Over black and over white, every palette image shows the screen exactly where its
// 32-bit sibling is transparent and covers it where that one is opaque.
TEST(IconFiles, PaletteImagesAreTransparentWhereTheirTrueColourSiblingIs) {
    for (const auto& [id, group] : Groups()) {
        const std::vector<IconImage> images = ReadIcon(group.first);
        std::map<int, const IconImage*> trueColour;
        for (const IconImage& image : images)
            if (image.bpp == 32) trueColour[image.size] = &image;
        for (const IconImage& image : images) {
            if (image.bpp == 32) continue;
            const IconImage* reference = trueColour[image.size];
            ASSERT_TRUE(reference) << "group " << id << " has no 32-bit image of " << image.size;
            int tinted = 0, seeThrough = 0, opaque = 0;
            std::string first;
            for (std::size_t i = 0; i < image.colour.size(); ++i) {
                const bool transparent = reference->colour[i] >> 24 < 128;
                const std::uint32_t overBlack = Drawn(image, i, 0x000000), overWhite = Drawn(image, i, 0xFFFFFF);
                const bool wrong =
                    transparent ? overBlack != 0x000000 || overWhite != 0xFFFFFF : overBlack != overWhite;
                if (wrong && tinted++ == 0)
                    first = std::to_string(i % image.size) + "," + std::to_string(i / image.size);
                (transparent ? seeThrough : opaque) += !wrong;
            }
            EXPECT_EQ(tinted, 0) << "group " << id << ", " << image.size << " px at " << image.bpp
                                 << " bits: first wrong pixel at " << first;
            EXPECT_GT(seeThrough, 0) << "group " << id << ", " << image.size << " px at " << image.bpp << " bits";
            EXPECT_GT(opaque, 0) << "group " << id << ", " << image.size << " px at " << image.bpp << " bits";
        }
    }
}

}  // namespace
