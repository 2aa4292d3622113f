#include "StateReport.h"

#include "EntryNames.h"
#include "keyconfig/DeviceKeyTable.h"

#include <algorithm>
#include <string>

namespace {

std::string JsonBytes(const std::uint8_t* bytes, std::size_t count) {
    std::string s = "[";
    for (std::size_t i = 0; i < count; ++i) s += (i ? "," : "") + std::to_string(bytes[i]);
    return s + "]";
}

// Names hold only printable ASCII; quotes and backslashes are escaped.
std::string JsonString(const std::string& text) {
    std::string s = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') s += '\\';
        s += c;
    }
    return s + "\"";
}

void PrintTableEntries(std::FILE* out, const DeviceKeyTable& table, bool json) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const KeyEntry& e = table.slots[slot];
        if (json)
            std::fprintf(out, "%s\n    {\"slot\": %d, \"bytes\": %s, \"meaning\": %s}", slot ? "," : "", slot,
                         JsonBytes(e.b.data(), 4).c_str(), JsonString(DescribeEntry(e)).c_str());
        else
            std::fprintf(out, "  slot %3d  %s  %s\n", slot, Hex(e.b.data(), 4).c_str(), DescribeEntry(e).c_str());
    }
}

}  // namespace

std::string Hex(const std::uint8_t* bytes, std::size_t count) {
    std::string s;
    char b[4];
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(b, sizeof b, i ? " %02X" : "%02X", bytes[i]);
        s += b;
    }
    return s;
}

bool AllZero(const std::uint8_t* bytes, std::size_t count) {
    return std::all_of(bytes, bytes + count, [](std::uint8_t b) { return b == 0; });
}

const char* RequestName(std::uint32_t code) {
    const oxkbd::RequestKind kind = oxkbd::KindOfCode(code);
    return kind == oxkbd::kOther ? "" : oxkbd::kRequestNames[kind];
}

void PrintKeyTable(std::FILE* out, const DeviceKeyTable& table, bool json) {
    if (json) {
        std::fprintf(out, "{\"table\": [");
        PrintTableEntries(out, table, true);
        std::fprintf(out, "\n]}\n");
    } else {
        std::fprintf(out, "Key table (152 slots):\n");
        PrintTableEntries(out, table, false);
    }
}

void PrintState(std::FILE* out, const oxkbd::State& s, bool json) {
    using namespace oxkbd;
    if (!json) {
        std::fprintf(out, "Report rate: %u%s\n", s.reportRate, s.reportRate ? "" : " (never set)");
        PrintKeyTable(out, s.table, false);
        std::fprintf(out, "Macros (193 bytes as received, number first):\n");
        for (std::uint32_t n = 0; n < kMacroCount; ++n) {
            if (AllZero(s.macros[n], kMacroRequestSize))
                std::fprintf(out, "  macro %2u  empty\n", n);
            else
                std::fprintf(out, "  macro %2u  %s ...\n", n, Hex(s.macros[n], 16).c_str());
        }
        std::fprintf(out, "Combination slots (slot, then 8 key bytes):\n");
        for (std::uint32_t n = 0; n < kCombinationCount; ++n)
            std::fprintf(out, "  slot %u  %s\n", n, Hex(s.combinations[n], kCombinationRequestSize).c_str());
        std::fprintf(out, "Requests (accepted / rejected):\n");
        for (std::uint32_t k = 0; k < kRequestKindCount; ++k)
            std::fprintf(out, "  %-18s %6u / %u\n", kRequestNames[k], s.counters[k].accepted, s.counters[k].rejected);
        std::fprintf(out, "Handles: opened %u, closed %u, open now %u\n", s.handlesOpened, s.handlesClosed,
                     s.handlesOpen);
        if (s.failRemaining == kFailAll)
            std::fprintf(out, "Fault: after %u more pass, every request with code 0x%X fails\n", s.failSkip,
                         s.failCode);
        else if (s.failRemaining)
            std::fprintf(out, "Fault: after %u more pass, the next %u requests with code 0x%X fail\n", s.failSkip,
                         s.failRemaining, s.failCode);
        std::fprintf(out, "Failures injected: %u\n", s.failInjected);
        std::fprintf(out, "Last %u requests (oldest first):\n", s.logCount);
        for (std::uint32_t i = 0; i < s.logCount; ++i) {
            const LogEntry& e = s.log[i];
            std::fprintf(out, "  #%-5u 0x%06X %-18s in %3u out %3u status 0x%08X  %s\n", e.sequence, e.code,
                         RequestName(e.code), e.inSize, e.outSize, static_cast<unsigned>(e.status),
                         Hex(e.head, std::min(e.inSize, kLogHeadSize)).c_str());
        }
        const std::uint32_t tables = std::min(s.tablesReceived, kTableLogCapacity);
        std::fprintf(out, "Key tables sent: %u; the last %u, by the slots where they differ from the factory table:\n",
                     s.tablesReceived, tables);
        for (std::uint32_t i = 0; i < tables; ++i) {
            std::string slots;
            for (int slot = 0; slot < kSlotCount; ++slot)
                if (s.tableLog[i].slots[slot] != FactoryKeyTable().slots[slot]) slots += " " + std::to_string(slot);
            std::fprintf(out, "  table %u:%s\n", s.tablesReceived - tables + i + 1,
                         slots.empty() ? " none" : slots.c_str());
        }
        return;
    }
    std::fprintf(out, "{\n  \"reportRate\": %u,\n  \"table\": [", s.reportRate);
    PrintTableEntries(out, s.table, true);
    std::fprintf(out, "\n  ],\n  \"macros\": [");
    for (std::uint32_t n = 0; n < kMacroCount; ++n)
        std::fprintf(out, "%s\n    %s", n ? "," : "", JsonBytes(s.macros[n], kMacroRequestSize).c_str());
    std::fprintf(out, "\n  ],\n  \"combinations\": [");
    for (std::uint32_t n = 0; n < kCombinationCount; ++n)
        std::fprintf(out, "%s\n    %s", n ? "," : "", JsonBytes(s.combinations[n], kCombinationRequestSize).c_str());
    std::fprintf(out, "\n  ],\n  \"counters\": {");
    for (std::uint32_t k = 0; k < kRequestKindCount; ++k)
        std::fprintf(out, "%s\n    \"%s\": {\"accepted\": %u, \"rejected\": %u}", k ? "," : "", kRequestNames[k],
                     s.counters[k].accepted, s.counters[k].rejected);
    std::fprintf(out, "\n  },\n  \"handles\": {\"opened\": %u, \"closed\": %u, \"open\": %u},\n", s.handlesOpened,
                 s.handlesClosed, s.handlesOpen);
    std::fprintf(out, "  \"fault\": {\"code\": %u, \"skip\": %u, \"remaining\": %u, \"injected\": %u},\n  \"log\": [",
                 s.failCode, s.failSkip, s.failRemaining, s.failInjected);
    for (std::uint32_t i = 0; i < s.logCount; ++i) {
        const LogEntry& e = s.log[i];
        std::fprintf(out,
                     "%s\n    {\"sequence\": %u, \"code\": %u, \"name\": %s, \"in\": %u, \"out\": %u, "
                     "\"status\": %d, \"head\": %s}",
                     i ? "," : "", e.sequence, e.code, JsonString(RequestName(e.code)).c_str(), e.inSize, e.outSize,
                     e.status, JsonBytes(e.head, std::min(e.inSize, kLogHeadSize)).c_str());
    }
    std::fprintf(out, "\n  ],\n  \"tablesReceived\": %u,\n  \"tableLog\": [", s.tablesReceived);
    for (std::uint32_t i = 0; i < std::min(s.tablesReceived, kTableLogCapacity); ++i)
        std::fprintf(out, "%s\n    %s", i ? "," : "", JsonBytes(s.tableLog[i].Bytes(), kKeyTableSize).c_str());
    std::fprintf(out, "\n  ]\n}\n");
}
