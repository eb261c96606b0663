#pragma once
// The serial port object: owns the device's COM port, writes with overlapped I/O, and runs a receive
// thread that hands every chunk it reads to the frame accumulator. It also carries the frame codec and
// the device commands (their code lives in download/).
#include <atomic>
#include <cstdint>
#include <mutex>

#include "download/protocol.h"
#include "platform/named_event.h"
#include "platform/serial_device.h"
#include "platform/thread.h"

// Highest port number Open can reach: it forms "\\.\COMn" up to here and names "\\.\TELNET" above.
constexpr uint8_t LAST_COM_PORT = 128;
// How long closing waits for the receive thread (engine ms) before it lets the port go without it: a
// vanished device's driver may never end the thread's wait.
constexpr uint32_t RECEIVE_THREAD_STOP_MS = 3000;
// The pending I/O is cancelled again this often while closing waits: a wait that began just after a
// cancel is not ended by it.
constexpr uint32_t RECEIVE_CANCEL_REPEAT_MS = 100;

// The overlapped record of one direction: offsets and the event that signals completion.
struct OverlappedRecord {
    uint32_t dwOffset = 0;
    uint32_t dwOffsetHigh = 0;
    Platform::EventHandle hEvent = nullptr;
};

// Who owns it: the download run, through g_pComm; InitComPort makes the object and Discard ends it. Close
// is the one way to end the port: it ends the receive loop, waits up to RECEIVE_THREAD_STOP_MS for the
// receive thread, lets the device go and closes the I/O events. Discard closes, then deletes the object.
// A running receive thread holds the object too: one that outlived Close's wait (held in a vanished
// device's driver) deletes it when it ends, so the object dies with the last of the two.
class CBaseComm {
public:
    CBaseComm();
    CBaseComm(const CBaseComm&) = delete;
    CBaseComm& operator=(const CBaseComm&) = delete;

    // Port set-up and I/O.
    void SetPortParams(uint8_t nPort, uint32_t dwBaudRate, uint8_t byByteSize, uint8_t byStopBits, uint8_t byParity);
    // The reply event "RECEIVE_<n in hex>_EVENT_<process id>".
    void CreateReceiveEvent(int n);
    const char* GetReceiveEventName() const { return m_szReceiveEventName; }
    bool CreateIoEvents();
    bool Open();
    bool ApplyPortSettings();
    bool Write(const uint8_t* pData, uint32_t nLength);
    int32_t ReadAvailable(uint8_t* pBuffer, uint32_t nLimit);
    // Ends the port, also after a device that refused parts of it; always 1. The object stays, not connected.
    bool Close();
    // The owner's end: closes the object and lets go of it; pComm becomes null. A null pComm is left alone.
    static void Discard(CBaseComm*& pComm);
    void SetFramePrefix(bool bFlag) { m_bFramePrefix = bFlag ? 1 : 0; }
    // True when the last Open failed because the receive thread could not be started.
    bool ThreadStartFailed() const { return m_bThreadStartFailed; }
    // The device path Open uses for a port number.
    static void FormatDevicePath(uint8_t nPort, char* pszPath, unsigned nSize);

    // Frame codec.
    void SendFrame(const uint8_t* pPayload, uint32_t nLength, uint8_t byTag);
    void SendLargeFrame(const uint8_t* pPayload, uint32_t nLength, uint8_t byTag);
    void OnReceiveChunk(const uint8_t* pChunk);
    void UnescapeFrame();
    // Copies the last decoded reply into pOut (RX_BUFFER_SIZE bytes); returns its length.
    int32_t CopyReply(uint8_t* pOut);

    // Device commands; each sends one frame, the caller waits with WaitForReply.
    void SendStartupCmd(uint8_t byTag);
    void SendEraseCmd(uint32_t dwAddress, uint32_t dwLength, uint8_t byTag);
    void SendWriteCmd(uint32_t dwAddress, uint16_t wDataLength, const uint8_t* pData, uint8_t byTag);
    void SendCloseUsbCmd(uint8_t byTag);
    void SendRebuildCmd(uint8_t byTag);
    void SendResetCmd(uint8_t byTag);

    // Fields in their declaration order; the codec's state is public so that the reply wait can copy it.
    Platform::EventHandle m_hReceiveEvent = nullptr;
    Platform::SerialHandle m_hComm = nullptr;
    std::atomic<int32_t> m_bConnected{0};  // written by the worker, read by the receive thread
    int32_t m_nRxLength = 0;
    std::atomic<uint16_t> m_wUnescapeMode{0};  // set by the worker with each command, read by the receive thread
    uint8_t m_RxReply[RX_BUFFER_SIZE] = {};
    uint8_t m_RxFrame[RX_BUFFER_SIZE] = {};
    uint8_t m_RxAccum[RX_BUFFER_SIZE] = {};
    int32_t m_nRxPos = 0;
    int32_t m_bShortReply = 0;
    uint8_t m_nPort = 1;
    uint8_t m_byByteSize = 0;
    uint32_t m_dwBaudRate = 0;
    uint8_t m_byParity = 0;
    uint8_t m_byStopBits = 0;
    OverlappedRecord m_osWrite;
    OverlappedRecord m_osRead;
    int32_t m_bFramePrefix = 1;
    uint8_t m_byPlatformId = 0;
    char m_szReceiveEventName[128] = {};
    // Length of m_RxReply after un-escaping: the status test must not read a stale byte past it.
    int32_t m_nRxReplyLength = 0;
    // Held while m_RxReply is decoded or copied: a reply that arrives late may be decoded while the
    // worker still copies the one before it.
    std::mutex m_replyMutex;
    Platform::ThreadHandle m_hReceiveThread = nullptr;

private:
    // Only the last user deletes it (LetGo).
    ~CBaseComm();
    static unsigned ReceiveThread(void* pParam);
    unsigned RunReceiveLoop();
    // Steps of Close: ClosePort ends the receive loop and the line (false when the device refused a step);
    // ReleasePortHandle stops the receive thread and releases the handle, or only lets the device go when
    // the thread does not end within RECEIVE_THREAD_STOP_MS; StopReceiveThread is that wait.
    bool ClosePort();
    bool ReleasePortHandle();
    bool StopReceiveThread();
    // One user (the owner, or the receive thread as it ends) lets go; the last deletes the object.
    void LetGo();
    void SendFillerCmd(uint8_t byOpcode, uint32_t nPayloadSize, uint8_t byTag);

    bool m_bThreadStartFailed = false;
    // Closing gave up waiting for the receive thread: it may still use the object and the device record.
    bool m_bReceiveThreadStuck = false;
    // The owner and, while it runs, the receive thread.
    std::atomic<int32_t> m_nUsers{1};
};

// The current port object of the download run (one at a time).
extern CBaseComm* g_pComm;
// COM port number last found by discovery; the port InitComPort opens.
extern std::atomic<uint8_t> DetectedPort;

// Discards the current port object, then builds a fresh one on DetectedPort at 115200-8-N-1 and opens it.
// On failure MessageText says why; the object stays for the run's end to discard.
bool InitComPort();
