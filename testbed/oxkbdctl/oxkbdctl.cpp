// oxkbdctl: looks at and steers the virtual K7 keyboard.
//   oxkbdctl [--json]                       the keyboard's whole state, counters and request log
//   oxkbdctl --table [--json]               the key table as the agent reads it, through its channel
//   oxkbdctl --diff-factory                 the slots that differ from the factory table, by key,
//                                           and the macros and combinations the keyboard holds
//   oxkbdctl --fail CODE N [SKIP]           let SKIP requests with CODE pass (default 0), then fail N of them
//                                           (N "all": every one from there on; 0 cancels); CODE in hex
//                                           or a name such as WRITE_KEY_TABLE
//   oxkbdctl --reset factory|unmarked|zero  start over with that key table; macros, slots and rate zero
//   oxkbdctl --clear-counters               zero the counters and the request log
//   oxkbdctl --start | --stop               start or stop the oxkbd service (a stopped keyboard is absent)
//   oxkbdctl --plug | --unplug              plug the keyboard in as a Plug and Play device, or pull it out
#include "FactoryDiff.h"
#include "StateReport.h"
#include "app/ModulePath.h"
#include "driver/CUSBDriver.h"
#include "driver/win32/Win32DeviceIo.h"
#include "k7testbed/VirtualKeyboard.h"
#include "xml/ButtonPositions.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: oxkbdctl [--json] | --table [--json] | --diff-factory | --fail CODE N|all [SKIP] |\n"
                 "       --reset factory|unmarked|zero | --clear-counters | --start | --stop |\n"
                 "       --plug | --unplug\n");
    return 2;
}

int Failed(const char* what) {
    std::fprintf(stderr, "oxkbdctl: %s: %s\n", what, k7testbed::KeyboardError().c_str());
    return 1;
}

bool ParseNumber(const char* text, std::uint32_t& value) {
    char* end = nullptr;
    const unsigned long v = std::strtoul(text, &end, 0);
    if (!*text || *end || v > 0xFFFFFFFFul) return false;
    value = static_cast<std::uint32_t>(v);
    return true;
}

bool ParseCode(const char* text, std::uint32_t& code) {
    for (const oxkbd::RequestShape& shape : oxkbd::kRequestShapes)
        if (std::strcmp(text, RequestName(shape.code)) == 0) {
            code = shape.code;
            return true;
        }
    return ParseNumber(text, code);
}

// Reads the table the way the agent does, so that what is shown is what the agent would see.
int ShowTableThroughChannel(bool json) {
    CWin32DeviceIo io;
    CUSBDriver driver(io);
    if (!driver.Open()) {
        std::fprintf(stderr, "oxkbdctl: \\\\.\\oxkbd cannot be opened: is the keyboard started?\n");
        return 1;
    }
    DeviceKeyTable table{};
    if (!driver.ReadKeyTable(table)) {
        std::fprintf(stderr, "oxkbdctl: the keyboard refused to give its key table\n");
        return 1;
    }
    PrintKeyTable(stdout, table, json);
    return 0;
}

// The keys are named by the layout file that the agent ships beside itself (and beside us).
int ShowFactoryDiff() {
    wchar_t module[MAX_PATH];
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    const std::u16string path = SiblingFilePath(reinterpret_cast<const char16_t*>(module), u"ButtonPos", u"xml");
    ButtonPosTable layout;
    LoadButtonPositions(path, layout);
    if (layout[0].name.empty()) {
        std::fprintf(stderr, "oxkbdctl: cannot read the key layout ButtonPos.xml beside oxkbdctl.exe\n");
        return 1;
    }
    oxkbd::State state{};
    if (!k7testbed::ReadKeyboardState(state)) return Failed("reading the state");
    PrintFactoryDiff(stdout, state, layout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    bool json = false;
    std::erase_if(args, [&](const std::string& a) { return a == "--json" ? (json = true) : false; });

    if (args.empty()) {
        oxkbd::State state{};
        if (!k7testbed::ReadKeyboardState(state)) return Failed("reading the state");
        PrintState(stdout, state, json);
        return 0;
    }
    const std::string& command = args[0];
    if (command == "--table" && args.size() == 1) return ShowTableThroughChannel(json);
    if (command == "--diff-factory" && args.size() == 1) return ShowFactoryDiff();
    if (command == "--fail" && (args.size() == 3 || args.size() == 4)) {
        std::uint32_t code = 0, count = oxkbd::kFailAll, skip = 0;
        if (!ParseCode(args[1].c_str(), code) || (args[2] != "all" && !ParseNumber(args[2].c_str(), count)) ||
            (args.size() == 4 && !ParseNumber(args[3].c_str(), skip)))
            return Usage();
        return k7testbed::FailRequests(code, skip, count) ? 0 : Failed("--fail");
    }
    if (command == "--reset" && args.size() == 2) {
        static constexpr const char* kStarts[] = {"factory", "unmarked", "zero"};
        for (std::uint32_t i = 0; i < std::size(kStarts); ++i)
            if (args[1] == kStarts[i])
                return k7testbed::ResetKeyboard(static_cast<oxkbd::TableStart>(i)) ? 0 : Failed("--reset");
        return Usage();
    }
    if (command == "--clear-counters" && args.size() == 1)
        return k7testbed::ClearKeyboardCounters() ? 0 : Failed("--clear-counters");
    if (command == "--start" && args.size() == 1) return k7testbed::StartKeyboard() ? 0 : Failed("--start");
    if (command == "--stop" && args.size() == 1) return k7testbed::StopKeyboard() ? 0 : Failed("--stop");
    if (command == "--plug" && args.size() == 1) return k7testbed::PlugKeyboard() ? 0 : Failed("--plug");
    if (command == "--unplug" && args.size() == 1) return k7testbed::UnplugKeyboard() ? 0 : Failed("--unplug");
    return Usage();
}
