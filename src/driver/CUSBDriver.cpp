#include "driver/CUSBDriver.h"

#include <algorithm>

bool CUSBDriver::Open() {
    // Callers open only a closed channel; a handle still held is released rather than leaked.
    if (m_hDevice != 0) m_io.Close(m_hDevice);
    m_hDevice = m_io.Open(DEVICE_PATH);
    return m_hDevice != 0;
}

bool CUSBDriver::Close() {
    if (m_hDevice != 0) {
        m_io.Close(m_hDevice);
        m_hDevice = 0;
    }
    return true;
}

bool CUSBDriver::Send(std::uint32_t code, const void* in, std::uint32_t inSize, void* out, std::uint32_t outSize) {
    if (m_hDevice == 0) return false;
    return m_io.Control(m_hDevice, code, in, inSize, out, outSize);
}

bool CUSBDriver::SetReportRate(std::uint8_t code) {
    if (code != 1 && code != 2 && code != 8) return false;
    return Send(IOCTL_SET_REPORT_RATE, &code, 1, nullptr, 0);
}

bool CUSBDriver::ReadKeyTable(DeviceKeyTable& table) {
    return Send(IOCTL_READ_KEY_TABLE, nullptr, 0, table.Bytes(), sizeof table);
}

bool CUSBDriver::WriteKeyTable(const DeviceKeyTable& table) {
    return Send(IOCTL_WRITE_KEY_TABLE, table.Bytes(), sizeof table, nullptr, 0);
}

bool CUSBDriver::WriteMacro(std::uint8_t number, const MacroContent& content) {
    if (number > kMaxMacroNumber) return false;
    std::array<std::uint8_t, kMacroRequestSize> request{};
    request[0] = number;
    std::copy(content.begin(), content.end(), request.begin() + 1);
    return Send(IOCTL_WRITE_MACRO, request.data(), kMacroRequestSize, request.data(), kMacroRequestSize);
}

bool CUSBDriver::WriteCombination(std::uint8_t slot, const CombinationKeys& keys) {
    if (slot > kMaxCombinationSlot) return false;
    std::array<std::uint8_t, kCombinationRequestSize> request{};
    request[0] = slot;
    std::copy(keys.begin(), keys.end(), request.begin() + 1);
    return Send(IOCTL_WRITE_COMBINATION, request.data(), kCombinationRequestSize, nullptr, 0);
}

bool CUSBDriver::ReadCombination(std::uint8_t slot, CombinationKeys& keys) {
    if (slot > kMaxCombinationSlot) return false;
    std::array<std::uint8_t, kCombinationRequestSize> request{};
    request[0] = slot;
    if (!Send(IOCTL_READ_COMBINATION, request.data(), kCombinationRequestSize, request.data(), kCombinationRequestSize))
        return false;
    std::copy_n(request.begin(), kCombinationKeySize, keys.begin());
    return true;
}
