#include "AgentTestSupport.h"

#include <dbt.h>

#include <cstddef>
#include <cstring>
#include <vector>

using configclient::Received;

void ExpectReceived(configclient::CConfigClient& client, std::span<const Received> expected, const char* context) {
    const auto& got = client.ReceivedMessages();
    if (!std::equal(got.begin(), got.end(), expected.begin(), expected.end()))
        ADD_FAILURE() << context << ": received sequence differs\nexpected:\n"
                      << configclient::Describe(std::vector<Received>(expected.begin(), expected.end()))
                      << "received:\n"
                      << configclient::Describe(got);
    client.ClearReceived();
}

bool SendDeviceChange(HWND agent, WPARAM event, const wchar_t* path, bool interfaceRecord) {
    const std::size_t chars = wcslen(path) + 1;
    const std::size_t offset = interfaceRecord ? offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name)
                                               : offsetof(DEV_BROADCAST_PORT_W, dbcp_name);
    std::vector<std::byte> record(offset + chars * sizeof(wchar_t));
    auto* header = reinterpret_cast<DEV_BROADCAST_HDR*>(record.data());
    header->dbch_size = static_cast<DWORD>(record.size());
    header->dbch_devicetype = interfaceRecord ? DBT_DEVTYP_DEVICEINTERFACE : DBT_DEVTYP_PORT;
    if (interfaceRecord)
        reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(record.data())->dbcc_classguid = {
            0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};
    std::memcpy(record.data() + offset, path, chars * sizeof(wchar_t));
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(agent, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(record.data()), SMTO_NORMAL,
                               kWaitMs, &result) != 0;
}
