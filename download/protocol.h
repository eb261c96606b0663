#pragma once
// The download protocol in one place: framing bytes, opcodes, payload sizes, and for every step of a
// download its tag, reply time-out, attempts, pause and failure messages. Times are in milliseconds.
#include <cstdint>

// Framing.
constexpr uint8_t FRAME_FLAG = 0x7E;
constexpr uint8_t FRAME_ESCAPE = 0x7D;
constexpr uint8_t FRAME_ESCAPE_XOR = 0x20;
constexpr uint8_t FRAME_NOISE_BYTE = 0x7F;  // dropped when it opens the accumulated bytes
constexpr uint32_t FRAME_WRITE_PIECE = 4096;       // large frames are written in pieces of this size
constexpr uint32_t FRAME_MAX_LARGE = 32768;        // a large frame this long or longer is never sent
constexpr uint32_t FRAME_STAGING_SIZE = 32789;     // worst case: 2 + 2 x 16391 + 4 + 1
constexpr uint32_t RX_BUFFER_SIZE = 32769;         // accumulator, frame and reply buffers
constexpr uint32_t RX_OVERFLOW_LIMIT = 32768;      // accumulated bytes at which a chunk is dropped
constexpr uint32_t RX_READ_LIMIT = 32768;          // largest chunk one read delivers
constexpr int RX_SHORT_FRAME = 4;                  // before the first command, shorter frames are ignored

// Opcodes (first payload byte).
constexpr uint8_t CMD_STARTUP = 0xA0;
constexpr uint8_t CMD_ERASE = 0xEE;
constexpr uint8_t CMD_WRITE = 0xDD;
constexpr uint8_t CMD_CLOSE_USB = 0xC0;
constexpr uint8_t CMD_REBUILD = 0xED;
constexpr uint8_t CMD_RESET = 0x90;

// Payload sizes.
constexpr uint32_t STARTUP_PAYLOAD_SIZE = 1;
constexpr uint32_t ERASE_PAYLOAD_SIZE = 11;
constexpr uint32_t WRITE_HEADER_SIZE = 7;
constexpr uint32_t WRITE_BLOCK_SIZE = 16384;
constexpr uint32_t WRITE_PAYLOAD_SIZE = WRITE_HEADER_SIZE + WRITE_BLOCK_SIZE;  // 16391
constexpr uint32_t CLOSE_USB_PAYLOAD_SIZE = 5;
constexpr uint32_t REBUILD_PAYLOAD_SIZE = 1;
constexpr uint32_t RESET_PAYLOAD_SIZE = 5;
constexpr uint8_t FILLER_BYTE = 0x00;  // unused parameter bytes; nothing depends on their value

// Reply: byte 1 of the decoded reply is the device's status.
constexpr uint8_t ACK_OK = 2;
constexpr int REPLY_STATUS_INDEX = 1;

// Results of WaitForReply.
constexpr int REPLY_OK = 0;
constexpr int REPLY_TIMEOUT = 1;
constexpr int REPLY_WAIT_FAILED = 2;
constexpr int REPLY_ERROR = -1;

// One step of the download: which command, with which tag, how long to wait, how often to try.
struct CommandStep {
    uint8_t byOpcode;
    uint8_t byTag;          // the write step takes its tag from the block counter instead
    uint32_t nTimeoutMs;
    int nAttempts;
    uint32_t nPauseMs;      // after every unsuccessful attempt
};

constexpr CommandStep STEP_STARTUP = {CMD_STARTUP, 0, 5000, 5, 3000};
constexpr CommandStep STEP_ERASE = {CMD_ERASE, 1, 3000, 2, 0};
constexpr CommandStep STEP_WRITE = {CMD_WRITE, 0, 2000, 2, 0};
constexpr CommandStep STEP_CLOSE_USB = {CMD_CLOSE_USB, 1, 3000, 3, 500};
constexpr CommandStep STEP_UNLOCK = {CMD_STARTUP, 0, 3000, 3, 500};
constexpr CommandStep STEP_REBUILD = {CMD_REBUILD, 1, 5000, 2, 500};
constexpr CommandStep STEP_RESET = {CMD_RESET, 2, 1000, 2, 500};
constexpr int WRITE_TAG_MODULUS = 4;  // block tags run 2, 3, 0, 1, ...

// Failure messages of the steps (formatted into MessageText).
constexpr const char* MSG_STARTUP_NO_REPLY = "Unable to get a response for the Startup Command. Upgrade aborted.";
constexpr const char* MSG_STARTUP_BAD_ACK = "Unrecognized Response. Unrecognized ACK Value: %d.";
constexpr const char* MSG_ERASE_FAILED = "Error in Erasing Flash!";
constexpr const char* MSG_WRITE_FAILED = "Error in Writing Flash!";
constexpr const char* MSG_FLASH_DOWNLOAD_ERROR = "Flash download error!";
constexpr const char* MSG_CLOSE_USB_FAILED = "Error in Executing Download!Close USB Failed. Code %d";
constexpr const char* MSG_UNLOCK_FAILED = "Error Trying to Unlock USB!";
constexpr const char* MSG_REBUILD_FAILED = "Error in Sending Rebuild CMD!";
constexpr const char* MSG_RESET_FAILED = "Unable to Reset Phone!";
constexpr const char* MSG_EVENT_ERROR = "Event Error!";
