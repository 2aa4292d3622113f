// The model built as a kernel driver builds it, for check-freestanding.sh: every member used,
// so that whatever it needs from outside shows as an undefined symbol of this object.
#include "keyboard/KeyboardModel.h"

constinit keyboard::CKeyboardModel g_model{};

extern "C" std::int32_t FreestandingRequest(std::uint32_t code, std::uint8_t* buffer, std::uint32_t inSize,
                                            std::uint32_t outSize, std::uint32_t* answered) {
    return g_model.Request(code, buffer, inSize, outSize, *answered);
}

extern "C" bool FreestandingControl(std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                                    std::uint32_t outSize) {
    return g_model.Control(code, in, inSize, out, outSize);
}

extern "C" const keyboard::State* FreestandingOthers(const DeviceKeyTable* table, const std::uint8_t* keys) {
    g_model.HandleOpened();
    g_model.HandleClosed();
    g_model.Reset(keyboard::kUnmarkedTable);
    g_model.ClearCounters();
    g_model.FailRequests(IOCTL_READ_KEY_TABLE, 1, 2);
    g_model.HoldTable(*table);
    g_model.HoldCombination(1, keys);
    return &g_model.Inspect();
}
