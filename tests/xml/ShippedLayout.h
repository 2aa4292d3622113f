// The layout file shipped beside the agent, loaded once for the tests that name its keys.
#pragma once

#include "xml/ButtonPositions.h"
#include "xml/Utf8Text.h"

inline const ButtonPosTable& ShippedLayout() {
    static const ButtonPosTable table = [] {
        ButtonPosTable t;
        LoadButtonPositions(Utf16FromUtf8(K7_LAYOUT_FILE), t);
        return t;
    }();
    return table;
}
