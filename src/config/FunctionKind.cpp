#include "config/FunctionKind.h"

FunctionKind KindOf(std::int32_t type) {
    switch (type) {
    case AssignDefault: return FunctionKind::Factory;
    case AssignKeyRemap: return FunctionKind::Remap;
    case AssignConsumer:
    case AssignConsumerAlt: return FunctionKind::Media;
    case AssignMouseButton: return FunctionKind::Mouse;
    case AssignSystemShortcut:
    case AssignEditShortcut: return FunctionKind::Shortcut;
    case AssignMacro: return FunctionKind::Macro;
    case AssignCombination: return FunctionKind::Combination;
    default: return FunctionKind::Unknown;
    }
}

KindColour FaceColour(FunctionKind kind) {
    switch (kind) {
    case FunctionKind::Factory: return {240, 240, 240};
    case FunctionKind::Remap: return {189, 215, 255};
    case FunctionKind::Media: return {196, 236, 196};
    case FunctionKind::Mouse: return {255, 218, 176};
    case FunctionKind::Shortcut: return {224, 204, 255};
    case FunctionKind::Macro: return {255, 196, 196};
    case FunctionKind::Combination: return {255, 240, 160};
    case FunctionKind::Unknown: break;
    }
    return {200, 200, 200};
}
