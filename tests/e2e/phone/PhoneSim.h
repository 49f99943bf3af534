#pragma once

// What the phone module exports to the driver that loads it.
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef void (*TPhoneInterfaceChange)(int present);

// Plugs a fresh phone in test-command mode; `change` learns when its interface comes and goes.
__declspec(dllexport) void PhoneSimStart(TPhoneInterfaceChange change);
// A handle on the phone's present interface; 0 when there is none.
__declspec(dllexport) uintptr_t PhoneSimOpen(void);
__declspec(dllexport) void PhoneSimClose(uintptr_t handle);
// 0 done, 1 rejected, 2 no reply (the request stays pending), 3 failed.
__declspec(dllexport) int PhoneSimIoControl(uintptr_t handle, uint32_t code, const void* input, uint32_t inputSize,
                                            void* output, uint32_t outputSize, uint32_t* returned);
// A control-device request (PhoneControl.h); non-zero when understood and carried out.
__declspec(dllexport) int PhoneSimControl(uint32_t code, const void* input, uint32_t inputSize, void* output,
                                          uint32_t outputSize, uint32_t* returned);

#ifdef __cplusplus
}
#endif
