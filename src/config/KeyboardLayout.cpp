#include "config/KeyboardLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

bool IsDrawn(const CRectValue& r) { return r.right > r.left && r.bottom > r.top; }

}  // namespace

std::vector<int> DrawnKeys(const ButtonPosTable& layout) {
    std::vector<int> keys;
    for (int i = 0; i < BUTTON_COUNT; ++i)
        if (IsDrawn(layout[i].rect)) keys.push_back(i);
    return keys;
}

KeyBox PictureBounds(const ButtonPosTable& layout) {
    KeyBox bounds;
    bool first = true;
    for (const ButtonPosRecord& record : layout) {
        const CRectValue& r = record.rect;
        if (!IsDrawn(r)) continue;
        if (first) {
            bounds = {r.left, r.top, r.right, r.bottom};
            first = false;
            continue;
        }
        bounds.left = std::min(bounds.left, r.left);
        bounds.top = std::min(bounds.top, r.top);
        bounds.right = std::max(bounds.right, r.right);
        bounds.bottom = std::max(bounds.bottom, r.bottom);
    }
    return bounds;
}

ClientSize NaturalSize(const KeyBox& picture, int margin, int dpi) {
    const auto scaled = [dpi](long long pixels) { return static_cast<int>((pixels * dpi + 48) / 96); };
    return {scaled(static_cast<long long>(picture.Width()) + 2LL * margin),
            scaled(static_cast<long long>(picture.Height()) + 2LL * margin)};
}

CLayoutScale::CLayoutScale(const KeyBox& picture, ClientSize client, int margin) : m_picture(picture) {
    if (picture.Empty()) return;
    const double width = std::max(0, client.cx - 2 * margin);
    const double height = std::max(0, client.cy - 2 * margin);
    m_dFactor = std::min(width / picture.Width(), height / picture.Height());
    m_dLeft = (client.cx - picture.Width() * m_dFactor) / 2;
    m_dTop = (client.cy - picture.Height() * m_dFactor) / 2;
}

int CLayoutScale::X(int x) const { return static_cast<int>(std::lround(m_dLeft + (x - m_picture.left) * m_dFactor)); }

int CLayoutScale::Y(int y) const { return static_cast<int>(std::lround(m_dTop + (y - m_picture.top) * m_dFactor)); }

KeyBox CLayoutScale::Map(const CRectValue& r) const {
    if (m_dFactor <= 0) return {};
    return {X(r.left), Y(r.top), X(r.right), Y(r.bottom)};
}

int NearestKey(const std::vector<KeyBox>& boxes, int from, Direction direction) {
    if (from < 0 || from >= static_cast<int>(boxes.size())) return from;
    const KeyBox& a = boxes[from];
    const bool horizontal = direction == Direction::Left || direction == Direction::Right;
    const int sign = direction == Direction::Right || direction == Direction::Down ? 1 : -1;
    // Doubled centres keep the arithmetic in integers.
    const auto centreX = [](const KeyBox& b) { return b.left + b.right; };
    const auto centreY = [](const KeyBox& b) { return b.top + b.bottom; };

    int best = from;
    long long bestRank = std::numeric_limits<long long>::max();
    for (int i = 0; i < static_cast<int>(boxes.size()); ++i) {
        const KeyBox& b = boxes[i];
        if (i == from || b.Empty()) continue;
        const long long along = sign * (horizontal ? centreX(b) - centreX(a) : centreY(b) - centreY(a));
        if (along <= 0) continue;
        const long long aside = std::llabs(horizontal ? centreY(b) - centreY(a) : centreX(b) - centreX(a));
        const bool sameLine = horizontal ? b.top < a.bottom && a.top < b.bottom : b.left < a.right && a.left < b.right;
        // Keys on the same line come before all others, nearest first (the sideways offset only
        // breaks ties); among the others the distance counts the sideways offset twice.
        constexpr long long kOtherLines = 1LL << 60;
        const long long rank = sameLine ? (along << 24) + aside : kOtherLines + along + 2 * aside;
        if (rank < bestRank) {
            bestRank = rank;
            best = i;
        }
    }
    return best;
}
