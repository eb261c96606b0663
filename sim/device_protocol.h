#pragma once
// The command set as the device sees it: opcodes, payload sizes, and the status bytes it answers with.
#include <cstdint>

namespace Sim {

constexpr uint8_t OP_STARTUP = 0xA0;
constexpr uint8_t OP_ERASE = 0xEE;
constexpr uint8_t OP_WRITE = 0xDD;
constexpr uint8_t OP_CLOSE_USB = 0xC0;
constexpr uint8_t OP_REBUILD = 0xED;
constexpr uint8_t OP_RESET = 0x90;

constexpr size_t STARTUP_PAYLOAD = 1;
constexpr size_t ERASE_PAYLOAD = 11;
constexpr size_t WRITE_PAYLOAD = 16391;
constexpr size_t CLOSE_USB_PAYLOAD = 5;
constexpr size_t REBUILD_PAYLOAD = 1;
constexpr size_t RESET_PAYLOAD = 5;
constexpr uint16_t WRITE_DATA_LENGTH = 0x4000;

// Reply status bytes. Only STATUS_OK is known to the host; the others tell a developer why a command was
// refused (they show up in the host's "ACK Value" and "Code" messages and in the transcript).
constexpr uint8_t STATUS_OK = 0x02;
constexpr uint8_t STATUS_OUT_OF_ORDER = 0x03;
constexpr uint8_t STATUS_BAD_LENGTH = 0x04;
constexpr uint8_t STATUS_OUT_OF_RANGE = 0x05;
constexpr uint8_t STATUS_MISALIGNED = 0x06;
constexpr uint8_t STATUS_NOT_ERASED = 0x07;
constexpr uint8_t STATUS_UNKNOWN_COMMAND = 0x08;

// A command as the device classifies it; the same opcode A0 is the startup before close-USB and the
// unlock after it.
enum CommandKind {
    KIND_STARTUP = 0,
    KIND_ERASE,
    KIND_WRITE,
    KIND_CLOSE,
    KIND_UNLOCK,
    KIND_REBUILD,
    KIND_RESET,
    KIND_UNKNOWN,
    KIND_ANY,  // in fault rules: every kind
};

const char* CommandKindName(CommandKind nKind);
// False for an unknown name; "any" gives KIND_ANY.
bool ParseCommandKind(const char* pszName, CommandKind* pKind);

// The session as the device tracks it.
enum SessionState {
    SESSION_POWERED = 0,  // waiting for the startup command
    SESSION_OPEN,         // erase and write accepted
    SESSION_CLOSED,       // after close-USB: unlock or reset
    SESSION_UNLOCKED,     // after the unlock: rebuild
    SESSION_REBUILT,      // after rebuild: reset
    SESSION_GONE,         // reset answered; the device reboots
};

}  // namespace Sim
