#include "cli/run_log.h"

std::string LogPathForPort(const std::string& strLog, const std::string& strPort)
{
    // The port's last path component, with anything a file name cannot hold replaced.
    std::string strName = strPort;
    const size_t nSlash = strName.find_last_of("/\\");
    if (nSlash != std::string::npos) {
        strName = strName.substr(nSlash + 1);
    }
    for (char& ch : strName) {
        const bool bPlain = (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9') ||
                            ch == '-' || ch == '_' || ch == '.';
        if (!bPlain) {
            ch = '_';
        }
    }
    const size_t nDirEnd = strLog.find_last_of("/\\");
    const size_t nNameStart = nDirEnd == std::string::npos ? 0 : nDirEnd + 1;
    const size_t nDot = strLog.find_last_of('.');
    // A dot that starts the name (".krtlog") or sits in a folder name is no extension.
    if (nDot == std::string::npos || nDot <= nNameStart) {
        return strLog + "-" + strName;
    }
    return strLog.substr(0, nDot) + "-" + strName + strLog.substr(nDot);
}
