#pragma once
// The simulated device for --simulate: started in this process on a pty, registered as the device's
// diagnostic port, and checked against the image after the run.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class CSimulatedDevice {
public:
    CSimulatedDevice();
    ~CSimulatedDevice();

    // False (with the reason) where there is no simulator, or the pty cannot be made.
    bool Start(std::string* pstrError);
    // Waits for the device to go away after its reset, then compares its flash with the container.
    bool Verify(const uint8_t* pContainer, size_t nSize, std::string* pstrReport);
    void Stop();

private:
    struct Impl;
    std::unique_ptr<Impl> m_pImpl;
};
