// apply-demo: plays the configuration program once against a running agent: registers
// its window, asks for an apply, prints the progress it is posted, then closes the
// agent and prints the WM_CLOSE that the agent's shutdown posts back.
#include "ConfigClient.h"

#include "app/Messages.h"

#include <cstdio>

namespace {

constexpr DWORD kWaitMs = 10000;

const char* Name(UINT msg) {
    switch (msg) {
    case WM_APPLY_PROGRESS: return "WM_APPLY_PROGRESS";
    case WM_ASSIGNMENT_RESET: return "WM_ASSIGNMENT_RESET";
    case WM_CLOSE: return "WM_CLOSE";
    default: return "?";
    }
}

void PrintReceived(configclient::CConfigClient& client) {
    for (const auto& r : client.ReceivedMessages())
        std::printf("  received %s (0x%04X) wParam=%llu lParam=%lld\n", Name(r.msg), r.msg,
                    static_cast<unsigned long long>(r.wParam), static_cast<long long>(r.lParam));
    client.ClearReceived();
}

}  // namespace

int main() {
    configclient::CConfigClient client;
    if (!client.Connect(kWaitMs)) {
        std::printf("apply-demo: no window titled \"OrvexK7_Setting\" appeared\n");
        return 1;
    }
    std::printf("found the agent's window %p (process %lu)\n", static_cast<void*>(client.Agent()),
                client.AgentProcessId());
    LRESULT result = 0;
    if (!client.Register(client.Window(), kWaitMs, &result)) return 1;
    std::printf("sent WM_REGISTER_CONFIG_WINDOW (0x%04X) with our window %p\n", WM_REGISTER_CONFIG_WINDOW,
                static_cast<void*>(client.Window()));
    if (!client.Apply(kWaitMs, &result)) return 1;
    std::printf("sent WM_APPLY_SETTINGS (0x%04X): result %lld\n", WM_APPLY_SETTINGS, static_cast<long long>(result));
    const bool progressed = client.WaitForReceived(3, kWaitMs);
    PrintReceived(client);
    std::printf("posting WM_CLOSE to the agent\n");
    PostMessageW(client.Agent(), WM_CLOSE, 0, 0);
    const bool closed = client.WaitForReceived(1, kWaitMs);
    PrintReceived(client);
    return progressed && closed ? 0 : 1;
}
