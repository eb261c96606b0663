#include "host/host_description.h"

#include <cstring>

#include "host/host_os.h"
#include "host/usb_driver.h"
#include "platform/host_facts.h"
#include "platform/registry.h"

std::string DescribeHost()
{
    Platform::OsVersionFacts facts;
    std::string strText = Platform::ReadOsVersion(&facts)
                              ? "Windows " + std::to_string(facts.dwMajorVersion) + "." + std::to_string(facts.dwMinorVersion)
                              : std::string("not Windows");
    const uint16_t nArch = Platform::ReadNativeProcessorArchitecture();
    strText += nArch == CPU_ARCH_AMD64 ? ", x64 machine" : nArch == CPU_ARCH_INTEL ? ", x86 machine" : ", other machine";
    strText += sizeof(void*) == 8 ? ", 64-bit program" : ", 32-bit program";
    strText += ", host OS code " + std::to_string(IdentifyHostOs());
    return strText;
}

std::string DescribeUsbDriver()
{
    char szVersion[64] = {};
    uint32_t nSize = sizeof(szVersion) - 1;
    if (!Platform::ReadLocalMachineValue(USB_DRIVER_REG_KEY, USB_DRIVER_REG_VALUE, szVersion, &nSize)) {
        return "USB driver version not recorded";
    }
    szVersion[sizeof(szVersion) - 1] = '\0';
    return std::string("USB driver version ") + szVersion;
}
