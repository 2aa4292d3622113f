// oxkbd.sys: the virtual K7 keyboard, a kernel-mode driver around the model of the keyboard
// (keyboard/KeyboardModel.h), which keeps the state the agent relies on (key table, device
// macros, combination slots, report rate) and answers the six requests of the keyboard with
// exactly their buffer sizes. A second device lets the test bed inspect that state, count
// and log what was asked, and inject faults.
//
// Started as a service, the keyboard is reachable as \\.\oxkbd but nothing announces it.
// It is also the function driver of a root-enumerated Plug and Play device: for each such
// device it registers a USB-device and a HID interface on the device, so that the platform
// broadcasts their arrival and removal and lists them among the present interfaces. The
// state belongs to the driver, not to a device: unplugging and plugging keeps it.
#include "OxkbdProtocol.h"

extern "C" {
#include <ntddk.h>
}

namespace {

using namespace oxkbd;

// The model reports completions with the very NTSTATUS values.
static_assert(kStatusSuccess == STATUS_SUCCESS && kStatusInvalidParameter == STATUS_INVALID_PARAMETER &&
              kStatusInvalidDeviceRequest == STATUS_INVALID_DEVICE_REQUEST &&
              kStatusIoDeviceError == STATUS_IO_DEVICE_ERROR);

struct Keyboard {
    KMUTEX lock;
    PDEVICE_OBJECT keyboard;
    PDEVICE_OBJECT control;
    CKeyboardModel model;
};

// A kernel driver runs no constructors of its globals: the keyboard starts constant.
constinit Keyboard g_kbd{};

UNICODE_STRING Name(PCWSTR text) {
    UNICODE_STRING s;
    RtlInitUnicodeString(&s, text);
    return s;
}

constexpr PCWSTR kKeyboardName = L"\\Device\\oxkbd";
constexpr PCWSTR kKeyboardLink = L"\\DosDevices\\oxkbd";
constexpr PCWSTR kControlName = L"\\Device\\oxkbdctl";
constexpr PCWSTR kControlLink = L"\\DosDevices\\oxkbdctl";

// GUID_DEVINTERFACE_USB_DEVICE and the HID interface class (HidD_GetHidGuid).
constexpr GUID kUsbDeviceInterface = {0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};
constexpr GUID kHidInterface = {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};
constexpr const GUID* kInterfaceClasses[] = {&kUsbDeviceInterface, &kHidInterface};
constexpr ULONG kInterfaceCount = sizeof kInterfaceClasses / sizeof kInterfaceClasses[0];

// The extension of a function device object, one per plugged device. Those are the only
// devices of type FILE_DEVICE_KEYBOARD, which is how the dispatch routines tell them apart.
struct Plugged {
    PDEVICE_OBJECT lower;
    UNICODE_STRING links[kInterfaceCount];  // from IoRegisterDeviceInterface, empty if it failed
    bool enabled;
};

Plugged* PluggedOf(PDEVICE_OBJECT device) {
    return device->DeviceType == FILE_DEVICE_KEYBOARD ? static_cast<Plugged*>(device->DeviceExtension) : nullptr;
}

// A plugged device is the keyboard too: opening one of its interfaces reaches the same state.
bool IsKeyboard(PDEVICE_OBJECT device) { return device == g_kbd.keyboard || PluggedOf(device); }

class Locked {
public:
    Locked() { KeWaitForSingleObject(&g_kbd.lock, Executive, KernelMode, FALSE, nullptr); }
    ~Locked() { KeReleaseMutex(&g_kbd.lock, FALSE); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
};

NTSTATUS KeyboardControl(ULONG code, UCHAR* buf, ULONG inSize, ULONG outSize, ULONG_PTR& information) {
    Locked lock;
    std::uint32_t answered = 0;
    const NTSTATUS status = g_kbd.model.Request(code, buf, inSize, outSize, answered);
    information = answered;
    return status;
}

NTSTATUS ControlControl(ULONG code, UCHAR* buf, ULONG inSize, ULONG outSize, ULONG_PTR& information) {
    Locked lock;
    CKeyboardModel& model = g_kbd.model;
    if (code == IOCTL_OXKBD_INSPECT) {
        if (inSize != 0 || outSize != sizeof(State)) return STATUS_INVALID_PARAMETER;
        RtlCopyMemory(buf, &model.Inspect(), sizeof(State));
        information = sizeof(State);
        return STATUS_SUCCESS;
    }
    if (code != IOCTL_OXKBD_COMMAND) return STATUS_INVALID_DEVICE_REQUEST;
    if (inSize != sizeof(Command) || outSize != 0) return STATUS_INVALID_PARAMETER;
    Command cmd;
    RtlCopyMemory(&cmd, buf, sizeof cmd);
    switch (cmd.action) {
    case kFailNext: model.FailRequests(cmd.code, cmd.skip, cmd.count); return STATUS_SUCCESS;
    case kResetState:
        if (cmd.code > kZeroTable) return STATUS_INVALID_PARAMETER;
        model.Reset(static_cast<TableStart>(cmd.code));
        return STATUS_SUCCESS;
    case kClearCounters: model.ClearCounters(); return STATUS_SUCCESS;
    default: return STATUS_INVALID_PARAMETER;
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
    if (IsKeyboard(device) && major != IRP_MJ_CLEANUP) {
        Locked lock;
        if (major == IRP_MJ_CREATE)
            g_kbd.model.HandleOpened();
        else
            g_kbd.model.HandleClosed();
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
    const NTSTATUS status = IsKeyboard(device) ? KeyboardControl(code, buf, inSize, outSize, information)
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

// Announces (or withdraws) the device's interfaces; the platform broadcasts each change.
void SetInterfaces(Plugged& plugged, bool enable) {
    if (plugged.enabled == enable) return;
    plugged.enabled = enable;
    for (UNICODE_STRING& link : plugged.links)
        if (link.Buffer) IoSetDeviceInterfaceState(&link, enable);
}

NTSTATUS AddDevice(PDRIVER_OBJECT driver, PDEVICE_OBJECT pdo) {
    PDEVICE_OBJECT fdo = nullptr;
    NTSTATUS status = IoCreateDevice(driver, sizeof(Plugged), nullptr, FILE_DEVICE_KEYBOARD, 0, FALSE, &fdo);
    if (!NT_SUCCESS(status)) return status;
    Plugged& plugged = *PluggedOf(fdo);
    RtlZeroMemory(&plugged, sizeof plugged);
    for (ULONG i = 0; NT_SUCCESS(status) && i < kInterfaceCount; ++i)
        status = IoRegisterDeviceInterface(pdo, kInterfaceClasses[i], nullptr, &plugged.links[i]);
    if (NT_SUCCESS(status)) {
        plugged.lower = IoAttachDeviceToDeviceStack(fdo, pdo);
        if (!plugged.lower) status = STATUS_NO_SUCH_DEVICE;
    }
    if (!NT_SUCCESS(status)) {
        for (UNICODE_STRING& link : plugged.links) RtlFreeUnicodeString(&link);
        IoDeleteDevice(fdo);
        return status;
    }
    fdo->Flags |= DO_BUFFERED_IO;
    fdo->Flags &= ~DO_DEVICE_INITIALIZING;
    return STATUS_SUCCESS;
}

NTSTATUS SignalCompletion(PDEVICE_OBJECT, PIRP, PVOID event) {
    KeSetEvent(static_cast<PKEVENT>(event), IO_NO_INCREMENT, FALSE);
    return STATUS_MORE_PROCESSING_REQUIRED;
}

// Passes the request to the device below and waits for it: the start must succeed there first.
NTSTATUS ForwardAndWait(Plugged& plugged, PIRP irp) {
    KEVENT event;
    KeInitializeEvent(&event, NotificationEvent, FALSE);
    IoCopyCurrentIrpStackLocationToNext(irp);
    IoSetCompletionRoutine(irp, SignalCompletion, &event, TRUE, TRUE, TRUE);
    if (IoCallDriver(plugged.lower, irp) == STATUS_PENDING)
        KeWaitForSingleObject(&event, Executive, KernelMode, FALSE, nullptr);
    return irp->IoStatus.Status;
}

NTSTATUS Forward(Plugged& plugged, PIRP irp) {
    IoSkipCurrentIrpStackLocation(irp);
    return IoCallDriver(plugged.lower, irp);
}

NTSTATUS DispatchPnp(PDEVICE_OBJECT device, PIRP irp) {
    Plugged* plugged = PluggedOf(device);
    if (!plugged) return Complete(irp, STATUS_NOT_SUPPORTED, 0);  // the legacy devices are not Plug and Play
    switch (IoGetCurrentIrpStackLocation(irp)->MinorFunction) {
    case IRP_MN_START_DEVICE: {
        const NTSTATUS status = ForwardAndWait(*plugged, irp);
        if (NT_SUCCESS(status)) SetInterfaces(*plugged, true);
        return Complete(irp, status, irp->IoStatus.Information);
    }
    case IRP_MN_SURPRISE_REMOVAL:
        SetInterfaces(*plugged, false);
        irp->IoStatus.Status = STATUS_SUCCESS;
        return Forward(*plugged, irp);
    case IRP_MN_REMOVE_DEVICE: {
        SetInterfaces(*plugged, false);
        irp->IoStatus.Status = STATUS_SUCCESS;
        const NTSTATUS status = Forward(*plugged, irp);
        IoDetachDevice(plugged->lower);
        for (UNICODE_STRING& link : plugged->links) RtlFreeUnicodeString(&link);
        IoDeleteDevice(device);
        return status;
    }
    case IRP_MN_QUERY_STOP_DEVICE:
    case IRP_MN_QUERY_REMOVE_DEVICE:
    case IRP_MN_CANCEL_STOP_DEVICE:
    case IRP_MN_CANCEL_REMOVE_DEVICE:
    case IRP_MN_STOP_DEVICE: irp->IoStatus.Status = STATUS_SUCCESS; return Forward(*plugged, irp);
    default: return Forward(*plugged, irp);
    }
}

}  // namespace

extern "C" NTSTATUS DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING) {
    KeInitializeMutex(&g_kbd.lock, 0);

    driver->MajorFunction[IRP_MJ_CREATE] = DispatchFile;
    driver->MajorFunction[IRP_MJ_CLEANUP] = DispatchFile;
    driver->MajorFunction[IRP_MJ_CLOSE] = DispatchFile;
    driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = DispatchDeviceControl;
    driver->MajorFunction[IRP_MJ_PNP] = DispatchPnp;
    driver->DriverExtension->AddDevice = AddDevice;
    driver->DriverUnload = Unload;

    NTSTATUS status = CreateDevice(driver, kKeyboardName, kKeyboardLink, g_kbd.keyboard);
    if (NT_SUCCESS(status)) status = CreateDevice(driver, kControlName, kControlLink, g_kbd.control);
    if (!NT_SUCCESS(status)) Unload(driver);
    return status;
}
