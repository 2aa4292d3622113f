// oxkbd.sys: the virtual K7 keyboard, a kernel-mode driver that keeps the state the agent
// relies on (key table, device macros, combination slots, report rate) and answers the six
// requests of the keyboard with exactly their buffer sizes. A second device lets the test
// bed inspect that state, count and log what was asked, and inject faults.
#include "OxkbdProtocol.h"
#include "keyconfig/FactoryKeyTableData.h"

extern "C" {
#include <ntddk.h>
}

namespace {

using namespace oxkbd;

struct Keyboard {
    KMUTEX lock;
    PDEVICE_OBJECT keyboard;
    PDEVICE_OBJECT control;
    State state;
    ULONG nextSequence;
};

Keyboard g_kbd;

UNICODE_STRING Name(PCWSTR text) {
    UNICODE_STRING s;
    RtlInitUnicodeString(&s, text);
    return s;
}

constexpr PCWSTR kKeyboardName = L"\\Device\\oxkbd";
constexpr PCWSTR kKeyboardLink = L"\\DosDevices\\oxkbd";
constexpr PCWSTR kControlName = L"\\Device\\oxkbdctl";
constexpr PCWSTR kControlLink = L"\\DosDevices\\oxkbdctl";

class Locked {
public:
    Locked() { KeWaitForSingleObject(&g_kbd.lock, Executive, KernelMode, FALSE, nullptr); }
    ~Locked() { KeReleaseMutex(&g_kbd.lock, FALSE); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
};

void ResetState(TableStart start) {
    State& s = g_kbd.state;
    s.table = start == kZeroTable ? DeviceKeyTable{} : kFactoryKeyTable;
    if (start == kUnmarkedTable) s.table.slots[kMarkSlot] = KeyEntry{};
    RtlZeroMemory(s.macros, sizeof s.macros);
    RtlZeroMemory(s.combinations, sizeof s.combinations);
    s.reportRate = 0;
}

void ClearCounters() {
    State& s = g_kbd.state;
    RtlZeroMemory(s.counters, sizeof s.counters);
    RtlZeroMemory(s.log, sizeof s.log);
    s.handlesOpened = s.handlesClosed = 0;
    s.logCount = 0;
    g_kbd.nextSequence = 1;
}

void Log(ULONG code, const UCHAR* in, ULONG inSize, ULONG outSize, NTSTATUS status) {
    State& s = g_kbd.state;
    if (s.logCount == kLogCapacity) {
        RtlMoveMemory(&s.log[0], &s.log[1], sizeof(LogEntry) * (kLogCapacity - 1));
        --s.logCount;
    }
    LogEntry& e = s.log[s.logCount++];
    RtlZeroMemory(&e, sizeof e);
    e.sequence = g_kbd.nextSequence++;
    e.code = code;
    e.inSize = inSize;
    e.outSize = outSize;
    e.status = status;
    if (in) RtlCopyMemory(e.head, in, inSize < kLogHeadSize ? inSize : kLogHeadSize);
}

// Carries out one well-formed keyboard request on `buf` (the METHOD_BUFFERED system buffer).
NTSTATUS Perform(RequestKind kind, UCHAR* buf, ULONG_PTR& information) {
    State& s = g_kbd.state;
    switch (kind) {
    case kSetReportRate:
        if (buf[0] != 1 && buf[0] != 2 && buf[0] != 8) return STATUS_INVALID_PARAMETER;
        s.reportRate = buf[0];
        return STATUS_SUCCESS;
    case kWriteKeyTable:
        RtlCopyMemory(&s.table, buf, kKeyTableSize);
        return STATUS_SUCCESS;
    case kReadKeyTable:
        RtlCopyMemory(buf, &s.table, kKeyTableSize);
        information = kKeyTableSize;
        return STATUS_SUCCESS;
    case kWriteMacro:
        if (buf[0] > kMaxMacroNumber) return STATUS_INVALID_PARAMETER;
        RtlCopyMemory(s.macros[buf[0]], buf, kMacroRequestSize);
        information = kMacroRequestSize;  // the record goes back as stored
        return STATUS_SUCCESS;
    case kWriteCombination:
        if (buf[0] > kMaxCombinationSlot) return STATUS_INVALID_PARAMETER;
        RtlCopyMemory(s.combinations[buf[0]], buf, kCombinationRequestSize);
        return STATUS_SUCCESS;
    case kReadCombination: {
        const UCHAR slot = buf[0];
        if (slot > kMaxCombinationSlot) return STATUS_INVALID_PARAMETER;
        // The answer is the slot's eight key bytes, then a zero byte.
        RtlCopyMemory(buf, &s.combinations[slot][1], kCombinationKeySize);
        buf[kCombinationKeySize] = 0;
        information = kCombinationRequestSize;
        return STATUS_SUCCESS;
    }
    default:
        return STATUS_INVALID_DEVICE_REQUEST;
    }
}

NTSTATUS KeyboardControl(ULONG code, UCHAR* buf, ULONG inSize, ULONG outSize, ULONG_PTR& information) {
    Locked lock;
    const RequestKind kind = KindOfCode(code);
    NTSTATUS status;
    if (kind == kOther) {
        status = STATUS_INVALID_DEVICE_REQUEST;
    } else if (inSize != kRequestShapes[kind].inSize || outSize != kRequestShapes[kind].outSize) {
        status = STATUS_INVALID_PARAMETER;
    } else if (g_kbd.state.failRemaining != 0 && g_kbd.state.failCode == code) {
        --g_kbd.state.failRemaining;
        status = STATUS_IO_DEVICE_ERROR;
    } else {
        status = Perform(kind, buf, information);
    }
    if (!NT_SUCCESS(status)) information = 0;
    Counter& c = g_kbd.state.counters[kind];
    ++(NT_SUCCESS(status) ? c.accepted : c.rejected);
    Log(code, inSize ? buf : nullptr, inSize, outSize, status);
    return status;
}

NTSTATUS ControlControl(ULONG code, UCHAR* buf, ULONG inSize, ULONG outSize, ULONG_PTR& information) {
    Locked lock;
    State& s = g_kbd.state;
    if (code == IOCTL_OXKBD_INSPECT) {
        if (inSize != 0 || outSize != sizeof(State)) return STATUS_INVALID_PARAMETER;
        RtlCopyMemory(buf, &s, sizeof(State));
        information = sizeof(State);
        return STATUS_SUCCESS;
    }
    if (code != IOCTL_OXKBD_COMMAND) return STATUS_INVALID_DEVICE_REQUEST;
    if (inSize != sizeof(Command) || outSize != 0) return STATUS_INVALID_PARAMETER;
    Command cmd;
    RtlCopyMemory(&cmd, buf, sizeof cmd);
    switch (cmd.action) {
    case kFailNext:
        s.failCode = cmd.count ? cmd.code : 0;
        s.failRemaining = cmd.count;
        return STATUS_SUCCESS;
    case kResetState:
        if (cmd.code > kZeroTable) return STATUS_INVALID_PARAMETER;
        ResetState(static_cast<TableStart>(cmd.code));
        return STATUS_SUCCESS;
    case kClearCounters:
        ClearCounters();
        return STATUS_SUCCESS;
    default:
        return STATUS_INVALID_PARAMETER;
    }
}

NTSTATUS Complete(PIRP irp, NTSTATUS status, ULONG_PTR information) {
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = information;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

// Opening, cleaning up and closing always succeed; the keyboard device counts its handles.
NTSTATUS DispatchFile(PDEVICE_OBJECT device, PIRP irp) {
    const UCHAR major = IoGetCurrentIrpStackLocation(irp)->MajorFunction;
    if (device == g_kbd.keyboard && major != IRP_MJ_CLEANUP) {
        Locked lock;
        State& s = g_kbd.state;
        if (major == IRP_MJ_CREATE) {
            ++s.handlesOpened;
            ++s.handlesOpen;
        } else {
            ++s.handlesClosed;
            if (s.handlesOpen) --s.handlesOpen;
        }
    }
    return Complete(irp, STATUS_SUCCESS, 0);
}

NTSTATUS DispatchDeviceControl(PDEVICE_OBJECT device, PIRP irp) {
    const PIO_STACK_LOCATION sp = IoGetCurrentIrpStackLocation(irp);
    const ULONG code = sp->Parameters.DeviceIoControl.IoControlCode;
    const ULONG inSize = sp->Parameters.DeviceIoControl.InputBufferLength;
    const ULONG outSize = sp->Parameters.DeviceIoControl.OutputBufferLength;
    auto* buf = static_cast<UCHAR*>(irp->AssociatedIrp.SystemBuffer);
    ULONG_PTR information = 0;
    const NTSTATUS status = device == g_kbd.keyboard ? KeyboardControl(code, buf, inSize, outSize, information)
                                                     : ControlControl(code, buf, inSize, outSize, information);
    return Complete(irp, status, information);
}

void DeleteDevice(PDEVICE_OBJECT& device, PCWSTR link) {
    if (!device) return;
    UNICODE_STRING l = Name(link);
    IoDeleteSymbolicLink(&l);
    IoDeleteDevice(device);
    device = nullptr;
}

void Unload(PDRIVER_OBJECT) {
    DeleteDevice(g_kbd.control, kControlLink);
    DeleteDevice(g_kbd.keyboard, kKeyboardLink);
}

NTSTATUS CreateDevice(PDRIVER_OBJECT driver, PCWSTR name, PCWSTR link, PDEVICE_OBJECT& device) {
    UNICODE_STRING n = Name(name);
    NTSTATUS status = IoCreateDevice(driver, 0, &n, FILE_DEVICE_UNKNOWN, 0, FALSE, &device);
    if (!NT_SUCCESS(status)) {
        device = nullptr;
        return status;
    }
    device->Flags |= DO_BUFFERED_IO;
    UNICODE_STRING l = Name(link);
    status = IoCreateSymbolicLink(&l, &n);
    if (!NT_SUCCESS(status)) {
        IoDeleteDevice(device);
        device = nullptr;
    }
    return status;
}

}  // namespace

extern "C" NTSTATUS DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING) {
    KeInitializeMutex(&g_kbd.lock, 0);
    g_kbd.state.size = sizeof(State);
    ResetState(kFactoryTable);
    ClearCounters();

    driver->MajorFunction[IRP_MJ_CREATE] = DispatchFile;
    driver->MajorFunction[IRP_MJ_CLEANUP] = DispatchFile;
    driver->MajorFunction[IRP_MJ_CLOSE] = DispatchFile;
    driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = DispatchDeviceControl;
    driver->DriverUnload = Unload;

    NTSTATUS status = CreateDevice(driver, kKeyboardName, kKeyboardLink, g_kbd.keyboard);
    if (NT_SUCCESS(status)) status = CreateDevice(driver, kControlName, kControlLink, g_kbd.control);
    if (!NT_SUCCESS(status)) Unload(driver);
    return status;
}
