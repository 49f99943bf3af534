// A driver of the phone's class for tests under Wine: one root-enumerated device whose interface
// comes and goes as the hosted simulated phone is plugged, unplugged and re-enumerated, and a
// control device through which tests drive the phone. Under Wine a driver runs inside an ordinary
// process, so the phone itself is a user-mode module (PhoneSim.cpp) that this driver loads.
#include <ntddk.h>

#include <initguid.h>

#include "PhoneControl.h"

DEFINE_GUID(PhoneClass, 0x4e1e1e15, 0x52d7, 0x11d4, 0x85, 0x2d, 0x00, 0x10, 0x5a, 0xa6, 0xf8, 0x0b);

__declspec(dllimport) void* __stdcall LoadLibraryA(const char* name);
__declspec(dllimport) void* __stdcall GetProcAddress(void* module, const char* name);
__declspec(dllimport) unsigned __stdcall GetSystemDirectoryA(char* buffer, unsigned size);

typedef void (*InterfaceChangeFn)(int present);
typedef void (*StartFn)(InterfaceChangeFn change);
typedef ULONG_PTR (*OpenFn)(void);
typedef void (*CloseFn)(ULONG_PTR handle);
typedef int (*IoControlFn)(ULONG_PTR handle, ULONG code, const void* input, ULONG inputSize, void* output,
                           ULONG outputSize, ULONG* returned);
typedef int (*ControlFn)(ULONG code, const void* input, ULONG inputSize, void* output, ULONG outputSize,
                         ULONG* returned);

static StartFn simStart;
static OpenFn simOpen;
static CloseFn simClose;
static IoControlFn simIoControl;
static ControlFn simControl;

static DEVICE_OBJECT* controlDevice;
static DEVICE_OBJECT* lowerDevice;
static UNICODE_STRING phoneLink;
static BOOLEAN linkRegistered;

static NTSTATUS Complete(IRP* irp, NTSTATUS status, ULONG_PTR information) {
  irp->IoStatus.Status = status;
  irp->IoStatus.Information = information;
  IoCompleteRequest(irp, IO_NO_INCREMENT);
  return status;
}

static void InterfaceChange(int present) {
  if (linkRegistered) IoSetDeviceInterfaceState(&phoneLink, present ? TRUE : FALSE);
}

static NTSTATUS WINAPI Create(DEVICE_OBJECT* device, IRP* irp) {
  IO_STACK_LOCATION* stack = IoGetCurrentIrpStackLocation(irp);
  if (device == controlDevice) return Complete(irp, STATUS_SUCCESS, 0);
  const ULONG_PTR handle = simOpen();
  if (!handle) return Complete(irp, STATUS_NO_SUCH_DEVICE, 0);
  stack->FileObject->FsContext = (void*)handle;
  return Complete(irp, STATUS_SUCCESS, 0);
}

static NTSTATUS WINAPI Close(DEVICE_OBJECT* device, IRP* irp) {
  IO_STACK_LOCATION* stack = IoGetCurrentIrpStackLocation(irp);
  if (device != controlDevice && stack->FileObject->FsContext) simClose((ULONG_PTR)stack->FileObject->FsContext);
  return Complete(irp, STATUS_SUCCESS, 0);
}

static void WINAPI CancelUnanswered(DEVICE_OBJECT* device, IRP* irp) {
  (void)device;
  IoReleaseCancelSpinLock(irp->CancelIrql);
  Complete(irp, STATUS_CANCELLED, 0);
}

static NTSTATUS WINAPI DeviceControl(DEVICE_OBJECT* device, IRP* irp) {
  IO_STACK_LOCATION* stack = IoGetCurrentIrpStackLocation(irp);
  const ULONG code = stack->Parameters.DeviceIoControl.IoControlCode;
  const ULONG inputSize = stack->Parameters.DeviceIoControl.InputBufferLength;
  const ULONG outputSize = stack->Parameters.DeviceIoControl.OutputBufferLength;
  void* buffer = irp->AssociatedIrp.SystemBuffer;
  ULONG returned = 0;
  if (device == controlDevice) {
    const int done = simControl(code, buffer, inputSize, buffer, outputSize, &returned);
    return Complete(irp, done ? STATUS_SUCCESS : STATUS_INVALID_PARAMETER, done ? returned : 0);
  }
  switch (simIoControl((ULONG_PTR)stack->FileObject->FsContext, code, buffer, inputSize, buffer, outputSize,
                       &returned)) {
    case 0:
      return Complete(irp, STATUS_SUCCESS, returned);
    case 2:
      // The phone does not answer: the request waits until the program gives up and cancels it.
      IoMarkIrpPending(irp);
      IoSetCancelRoutine(irp, CancelUnanswered);
      if (irp->Cancel && IoSetCancelRoutine(irp, NULL)) Complete(irp, STATUS_CANCELLED, 0);
      return STATUS_PENDING;
    case 3:
      return Complete(irp, STATUS_UNSUCCESSFUL, 0);
    default:
      return Complete(irp, STATUS_INVALID_DEVICE_REQUEST, 0);
  }
}

static NTSTATUS WINAPI Pnp(DEVICE_OBJECT* device, IRP* irp) {
  IO_STACK_LOCATION* stack = IoGetCurrentIrpStackLocation(irp);
  if (device == controlDevice) return Complete(irp, STATUS_NOT_SUPPORTED, 0);
  if (stack->MinorFunction == IRP_MN_START_DEVICE) simStart(InterfaceChange);
  if (stack->MinorFunction == IRP_MN_REMOVE_DEVICE) {
    InterfaceChange(0);
    linkRegistered = FALSE;
    IoSkipCurrentIrpStackLocation(irp);
    const NTSTATUS status = IoCallDriver(lowerDevice, irp);
    IoDetachDevice(lowerDevice);
    IoDeleteDevice(device);
    return status;
  }
  IoSkipCurrentIrpStackLocation(irp);
  return IoCallDriver(lowerDevice, irp);
}

static NTSTATUS WINAPI AddDevice(DRIVER_OBJECT* driver, DEVICE_OBJECT* pdo) {
  DEVICE_OBJECT* fdo;
  NTSTATUS status = IoCreateDevice(driver, 0, NULL, FILE_DEVICE_UNKNOWN, 0, FALSE, &fdo);
  if (!NT_SUCCESS(status)) return status;
  lowerDevice = IoAttachDeviceToDeviceStack(fdo, pdo);
  status = IoRegisterDeviceInterface(pdo, &PhoneClass, NULL, &phoneLink);
  linkRegistered = NT_SUCCESS(status);
  fdo->Flags |= DO_BUFFERED_IO;
  fdo->Flags &= ~DO_DEVICE_INITIALIZING;
  return status;
}

static void WINAPI Unload(DRIVER_OBJECT* driver) {
  UNICODE_STRING dosName;
  (void)driver;
  RtlInitUnicodeString(&dosName, L"\\DosDevices\\TarvexPhoneControl");
  IoDeleteSymbolicLink(&dosName);
  if (controlDevice) IoDeleteDevice(controlDevice);
}

static int LoadPhone(void) {
  char path[260];
  const unsigned length = GetSystemDirectoryA(path, 260 - 64);
  if (length == 0 || length >= 260 - 64) return 0;
  RtlCopyMemory(path + length, "\\drivers\\" TARVEX_PHONE_SIM_DLL, sizeof("\\drivers\\" TARVEX_PHONE_SIM_DLL));
  void* module = LoadLibraryA(path);
  if (!module) return 0;
  simStart = (StartFn)GetProcAddress(module, "PhoneSimStart");
  simOpen = (OpenFn)GetProcAddress(module, "PhoneSimOpen");
  simClose = (CloseFn)GetProcAddress(module, "PhoneSimClose");
  simIoControl = (IoControlFn)GetProcAddress(module, "PhoneSimIoControl");
  simControl = (ControlFn)GetProcAddress(module, "PhoneSimControl");
  return simStart && simOpen && simClose && simIoControl && simControl;
}

static NTSTATUS DriverInit(DRIVER_OBJECT* driver) {
  UNICODE_STRING name, dosName;
  NTSTATUS status;
  if (!LoadPhone()) return STATUS_DLL_NOT_FOUND;
  RtlInitUnicodeString(&name, L"\\Device\\TarvexPhoneControl");
  RtlInitUnicodeString(&dosName, L"\\DosDevices\\TarvexPhoneControl");
  status = IoCreateDevice(driver, 0, &name, FILE_DEVICE_UNKNOWN, 0, FALSE, &controlDevice);
  if (!NT_SUCCESS(status)) return status;
  controlDevice->Flags |= DO_BUFFERED_IO;
  controlDevice->Flags &= ~DO_DEVICE_INITIALIZING;
  status = IoCreateSymbolicLink(&dosName, &name);
  if (!NT_SUCCESS(status)) return status;
  driver->MajorFunction[IRP_MJ_CREATE] = Create;
  driver->MajorFunction[IRP_MJ_CLOSE] = Close;
  driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = DeviceControl;
  driver->MajorFunction[IRP_MJ_PNP] = Pnp;
  driver->DriverExtension->AddDevice = AddDevice;
  driver->DriverUnload = Unload;
  return STATUS_SUCCESS;
}

// The module imports user-mode libraries, so Wine's loader first calls its entry point as a
// DLL's (a small reason code as the second argument); the kernel then calls it as the driver's.
NTSTATUS WINAPI PhoneDriverEntry(void* first, void* second, void* third) {
  (void)third;
  if ((ULONG_PTR)second < 0x10000) return TRUE;
  return DriverInit((DRIVER_OBJECT*)first);
}
