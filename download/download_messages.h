#pragma once
// Status lines and failure messages of a download run (the protocol's own messages are in protocol.h).
constexpr const char* STATUS_INIT_COMPORT = "Init ComPort";
constexpr const char* STATUS_COMPORT_READY = "Done Initializing ComPort";
constexpr const char* STATUS_MAKE_PARTITION_FILES = "Make partition files of binary";
constexpr const char* STATUS_DOWNLOAD_START = "Download Start";
constexpr const char* STATUS_ERASE = "Erase Flash.... [%s]";
constexpr const char* STATUS_WRITING = "Flash Writing.... [%s]  %u of %u";
constexpr const char* STATUS_PARTITION_DONE = "Download complete!";
constexpr const char* STATUS_NO_FILE = "ERR: No File";
constexpr const char* MSG_NO_FILE_SIZE = "ERR: Cannot tell the size of [%s]";
constexpr const char* STATUS_REBUILDING = "Rebuilding...";
constexpr const char* STATUS_WAIT_REBUILDING = "Wait ! Rebuilding...";
constexpr const char* STATUS_REBOOTING = "Rebooting phone";

constexpr const char* MSG_NO_PORT = "Error in Finding Com Port!";
constexpr const char* MSG_CANNOT_CREATE_PORT = "Cannot create ComPort!";
constexpr const char* MSG_CANNOT_OPEN_PORT = "Cannot Open ComPort!";
// The port opened, but what carries the device's replies to the download could not be set up; every
// command would only time out. Close other programs (or restart Windows) and try again.
constexpr const char* MSG_NO_REPLY_EVENT =
    "Cannot create the event that signals the device's replies! Close other programs and try again.";
constexpr const char* MSG_NO_RECEIVE_THREAD =
    "Cannot start the thread that receives the device's replies! Close other programs and try again.";
constexpr const char* MSG_INVALID_IMAGE = "Binary Selected is not a valid KVZ Binary.";
// The partition files could not be made complete (disk full, unreadable image): nothing is flashed.
constexpr const char* MSG_PARTITION_FILES_FAILED = "Cannot make partition files of binary!";
// They could not be written: the temporary folder and the system's reason (no space left, too large).
constexpr const char* MSG_PARTITION_FILES_NOT_WRITTEN = "Cannot write the partition files to %s: %s";

// Port search before the port is opened.
constexpr int PORT_SEARCH_TRIES = 3;
constexpr uint32_t PORT_SEARCH_PAUSE_MS = 1000;
// First slot that is written; slots 0 to 3 hold the boot partitions, which are never written.
constexpr int FIRST_WRITTEN_SLOT = 4;
// After a successful run the device reboots before the final report.
constexpr uint32_t REBOOT_WAIT_MS = 15000;
