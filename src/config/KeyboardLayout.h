// Where the keys of ButtonPos.xml lie in a window of any size, and which key lies next to
// another in a direction. Rectangles are left, top, right (exclusive), bottom (exclusive).
#pragma once

#include "xml/ButtonPosTable.h"

#include <vector>

struct KeyBox {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Empty() const { return right <= left || bottom <= top; }
    friend bool operator==(const KeyBox&, const KeyBox&) = default;
};

struct ClientSize {
    int cx = 0, cy = 0;
    friend bool operator==(const ClientSize&, const ClientSize&) = default;
};

// The records the picture shows, in file order: those with a non-empty rectangle. A layout
// file with fewer keys leaves the other records empty, and they are not drawn.
std::vector<int> DrawnKeys(const ButtonPosTable& layout);

// The rectangle around every drawn key, in pixels of the keyboard picture; empty when none.
KeyBox PictureBounds(const ButtonPosTable& layout);

// The picture's own size on a screen of `dpi` dots per inch, with `margin` (in 96-dpi pixels)
// on every side: the client size a new window starts with.
ClientSize NaturalSize(const KeyBox& picture, int margin, int dpi);

// Fits the picture into a client area, keeping its proportions and centring it, with a margin
// on every side. Edges are mapped one by one, so keys that touch in the picture still touch.
class CLayoutScale {
public:
    CLayoutScale(const KeyBox& picture, ClientSize client, int margin);
    KeyBox Map(const CRectValue& r) const;
    double Factor() const { return m_dFactor; }

private:
    int X(int x) const;
    int Y(int y) const;
    KeyBox m_picture;
    double m_dFactor = 0;
    double m_dLeft = 0, m_dTop = 0;
};

enum class Direction { Left, Right, Up, Down };

// The key nearest to boxes[from] in the direction, among those whose centre lies beyond its
// centre that way: first the keys that share a row (or a column) with it, by distance; then
// any other, by distance with the sideways offset counted twice. `from` itself when there is
// none. Empty boxes are never chosen.
int NearestKey(const std::vector<KeyBox>& boxes, int from, Direction direction);
