// The device seam answered by the model of the keyboard, for the programs that simulate one
// (tests, the planner, the benchmark): what they send is checked as the keyboard checks it.
#pragma once

#include "driver/DeviceIo.h"
#include "keyboard/KeyboardModel.h"

class CModelDeviceIo final : public IDeviceIo {
public:
    explicit CModelDeviceIo(keyboard::CKeyboardModel& model) : m_model(model) {}

    DeviceHandle Open(std::u16string_view) override {
        m_model.HandleOpened();
        return m_nextHandle += 4;
    }
    bool Control(DeviceHandle, std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                 std::uint32_t outSize) override {
        return m_model.Control(code, in, inSize, out, outSize);
    }
    void Close(DeviceHandle) override { m_model.HandleClosed(); }

private:
    keyboard::CKeyboardModel& m_model;
    DeviceHandle m_nextHandle = 0x40;
};
