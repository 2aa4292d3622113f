// Where the keys lie at any window size and DPI, and which key the arrows lead to, on the
// shipped layout and on layouts made for the case.
#include <gtest/gtest.h>

#include "ShippedKeys.h"
#include "config/KeyboardLayout.h"

namespace {

// The shown keys' boxes in the window, in file order, as the view lays them out.
std::vector<KeyBox> Boxes(const ButtonPosTable& layout, ClientSize client, int margin) {
    const CLayoutScale scale(PictureBounds(layout), client, margin);
    std::vector<KeyBox> boxes;
    for (int i : DrawnKeys(layout)) boxes.push_back(scale.Map(layout[i].rect));
    return boxes;
}

TEST(KeyboardLayout, ShippedPictureAndItsSizeAtEachDpi) {
    const ButtonPosTable& layout = ShippedLayout();
    EXPECT_EQ(DrawnKeys(layout).size(), 108u);
    EXPECT_EQ(PictureBounds(layout), (KeyBox{10, 10, 908, 268}));
    EXPECT_EQ(NaturalSize(PictureBounds(layout), 10, 96), (ClientSize{918, 278}));
    EXPECT_EQ(NaturalSize(PictureBounds(layout), 10, 144), (ClientSize{1377, 417}));
    EXPECT_EQ(NaturalSize(PictureBounds(layout), 10, 192), (ClientSize{1836, 556}));
}

TEST(KeyboardLayout, RecordsWithoutARectangleAreNeitherDrawnNorCounted) {
    ButtonPosTable layout;  // a file with three keys, one of them with an empty rectangle
    layout[0].rect = {100, 50, 140, 90};
    layout[1].rect = {150, 50, 150, 90};
    layout[2].rect = {20, 60, 60, 200};
    EXPECT_EQ(DrawnKeys(layout), (std::vector<int>{0, 2}));
    EXPECT_EQ(PictureBounds(layout), (KeyBox{20, 50, 140, 200}));
    EXPECT_TRUE(PictureBounds(ButtonPosTable{}).Empty());
    EXPECT_EQ(CLayoutScale(KeyBox{}, {500, 500}, 10).Map({1, 1, 5, 5}), KeyBox{});
}

TEST(KeyboardLayout, ScaledKeysKeepTheirProportionsAndFitCentred) {
    const ButtonPosTable& layout = ShippedLayout();
    const KeyBox picture = PictureBounds(layout);
    // The natural size maps the picture one to one, inside its margin.
    const CLayoutScale natural(picture, {918, 278}, 10);
    EXPECT_DOUBLE_EQ(natural.Factor(), 1.0);
    EXPECT_EQ(natural.Map(layout[KeyIndex(u"Esc")].rect), (KeyBox{10, 10, 48, 48}));

    // Twice as wide and more than twice as high: the width limits, the picture is centred.
    const CLayoutScale twice(picture, {1836, 700}, 10);
    EXPECT_DOUBLE_EQ(twice.Factor(), 1816.0 / 898);
    const KeyBox space = twice.Map(layout[KeyIndex(u"Space")].rect);
    const KeyBox esc = twice.Map(layout[KeyIndex(u"Esc")].rect);
    EXPECT_EQ(esc.left, 10);
    EXPECT_NEAR(esc.Width(), 38 * twice.Factor(), 1);
    EXPECT_NEAR(space.Width(), 248 * twice.Factor(), 1);
    const int top = esc.top, bottom = space.bottom;
    EXPECT_NEAR(top, 700 - bottom, 1) << "not centred vertically";

    // Every box lies inside the window at sizes down to a tiny one.
    for (ClientSize client : {ClientSize{300, 120}, ClientSize{1000, 300}, ClientSize{40, 40}}) {
        for (const KeyBox& b : Boxes(layout, client, 10)) {
            EXPECT_GE(b.left, 0);
            EXPECT_GE(b.top, 0);
            EXPECT_LE(b.right, client.cx);
            EXPECT_LE(b.bottom, client.cy);
        }
    }
}

TEST(KeyboardLayout, KeysThatTouchInThePictureStillTouchWhenScaled) {
    ButtonPosTable layout;
    layout[0].rect = {0, 0, 13, 10};
    layout[1].rect = {13, 0, 29, 10};
    layout[2].rect = {29, 0, 37, 10};
    for (int width : {50, 77, 101, 333}) {
        const std::vector<KeyBox> b = Boxes(layout, {width, 400}, 3);
        EXPECT_EQ(b[0].right, b[1].left) << width;
        EXPECT_EQ(b[1].right, b[2].left) << width;
    }
}

class Arrows : public ::testing::Test {
protected:
    // The key the arrow leads to from `from`, by name.
    std::u16string From(std::u16string_view from, Direction direction) {
        const std::vector<KeyBox> boxes = Boxes(ShippedLayout(), {1377, 417}, 10);
        return ShippedLayout()[NearestKey(boxes, KeyIndex(from), direction)].name;
    }
};

TEST_F(Arrows, OnTheShippedLayoutTheyFollowRowsAndColumns) {
    EXPECT_EQ(From(u"Q", Direction::Right), u"W");
    EXPECT_EQ(From(u"W", Direction::Left), u"Q");
    EXPECT_EQ(From(u"Esc", Direction::Right), u"F1") << "across the gap after Esc";
    EXPECT_EQ(From(u"Pause", Direction::Right), u"Mute") << "into the extra keys";
    // Down and up pick the key of the next row that lies most nearly under or over it.
    EXPECT_EQ(From(u"W", Direction::Down), u"S");
    EXPECT_EQ(From(u"Backspace", Direction::Down), u"\\");
    EXPECT_EQ(From(u"Up", Direction::Down), u"Down");
    EXPECT_EQ(From(u"Down", Direction::Up), u"Up");
    // A tall key shares the rows it spans.
    EXPECT_EQ(From(u"Num 3", Direction::Right), u"Num Enter");
    EXPECT_EQ(From(u"Num .", Direction::Right), u"Num Enter");
    EXPECT_EQ(From(u"Num Enter", Direction::Up), u"Num +");
    EXPECT_EQ(From(u"Right Shift", Direction::Right), u"Up");
}

TEST_F(Arrows, AtTheEdgeTheChoiceStays) {
    EXPECT_EQ(From(u"Esc", Direction::Left), u"Esc");
    EXPECT_EQ(From(u"Esc", Direction::Up), u"Esc");
    EXPECT_EQ(From(u"Space", Direction::Down), u"Space");
    EXPECT_EQ(From(u"Special 2", Direction::Right), u"Special 2");
}

TEST(NearestKey, PrefersItsOwnRowOverACloserKeyOfAnother) {
    //   [0]                  [1]
    //        [2]
    const std::vector<KeyBox> boxes = {{0, 0, 10, 10}, {100, 0, 110, 10}, {20, 11, 30, 21}};
    EXPECT_EQ(NearestKey(boxes, 0, Direction::Right), 1);
    // Without a key in its row, the nearest of the others, sideways offset counted twice.
    const std::vector<KeyBox> others = {{0, 0, 10, 10}, {30, 15, 40, 25}, {25, 40, 35, 50}};
    EXPECT_EQ(NearestKey(others, 0, Direction::Right), 1);
    EXPECT_EQ(NearestKey(others, 0, Direction::Down), 1);
}

TEST(NearestKey, SkipsEmptyBoxesAndOutOfRangeStarts) {
    const std::vector<KeyBox> boxes = {{0, 0, 10, 10}, {20, 0, 20, 10}, {40, 0, 50, 10}};
    EXPECT_EQ(NearestKey(boxes, 0, Direction::Right), 2);
    EXPECT_EQ(NearestKey(boxes, 2, Direction::Left), 0);
    EXPECT_EQ(NearestKey(boxes, 7, Direction::Left), 7);
    EXPECT_EQ(NearestKey({}, 0, Direction::Up), 0);
}

}  // namespace
