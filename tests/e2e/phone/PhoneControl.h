#pragma once

// The control device of the simulated phone driver (tests only; the program never opens it).
// Requests are buffered I/O controls; numbers are little-endian 32-bit words.
#define TARVEX_PHONE_CONTROL_PATH "\\\\.\\TarvexPhoneControl"

#define TARVEX_PHONE_CONTROL(function) ((0x8001u << 16) | ((0x900u + (function)) << 2))

// In: mode (the simulated phone's TSimMode). The phone of before is forgotten first when `fresh`
// (second word) is 1: memory, commands and faults.
#define TARVEX_PHONE_PLUG TARVEX_PHONE_CONTROL(0)
#define TARVEX_PHONE_UNPLUG TARVEX_PHONE_CONTROL(1)
// In: step, fault, occurrence (TSimStep, TSimFault).
#define TARVEX_PHONE_FAULT TARVEX_PHONE_CONTROL(2)
// In: milliseconds between leaving and coming back after a restart.
#define TARVEX_PHONE_REENUMERATION_DELAY TARVEX_PHONE_CONTROL(3)
// Out: the commands in arrival order, each ended by '\n'.
#define TARVEX_PHONE_COMMANDS TARVEX_PHONE_CONTROL(4)
// In: address, size. Out: the bytes; fails unless every byte of the range was written.
#define TARVEX_PHONE_READ_MEMORY TARVEX_PHONE_CONTROL(5)
// Out: mode.
#define TARVEX_PHONE_MODE TARVEX_PHONE_CONTROL(6)
// Out: pairs of (start, size) of the written blocks, by start address.
#define TARVEX_PHONE_MEMORY_BLOCKS TARVEX_PHONE_CONTROL(7)

// What the driver module asks of the phone module it hosts.
#define TARVEX_PHONE_SIM_DLL "tarvexphonesim.dll"
