#include "download/run_progress.h"

#include <algorithm>
#include <cstring>

#include "download/download_messages.h"
#include "image/partition_files.h"
#include "platform/files.h"

int SlotOfEraseStatus(const std::string& strText)
{
    const char* pszPrefix = "Erase Flash.... [";
    if (strText.rfind(pszPrefix, 0) != 0 || strText.back() != ']') {
        return -1;
    }
    const size_t nPrefix = std::strlen(pszPrefix);
    const std::string strName = strText.substr(nPrefix, strText.size() - nPrefix - 1);
    for (int nSlot = 0; nSlot < PARTITION_SLOTS; ++nSlot) {
        if (strName == PartitionNames[nSlot]) {
            return nSlot;
        }
    }
    return -1;
}

void CRunProgress::OnStatus(const std::string& strText)
{
    const int nNewSlot = SlotOfEraseStatus(strText);
    if (nNewSlot >= 0) {
        if (!m_rate.Begun() && m_nCount == 0) {
            // The partition files are made by now: the whole run's size is known.
            uint64_t nTotal = 0;
            for (int i = FIRST_WRITTEN_SLOT; i < PARTITION_SLOTS; ++i) {
                uint64_t nSize = 0;
                if (PartitionFileList[i].m_szPath[0] != '\0' &&
                    Platform::GetFileSize(PartitionFileList[i].m_szPath, &nSize)) {
                    nTotal += nSize;
                    ++m_nCount;
                }
            }
            m_rate.SetTotal(nTotal);
        }
        if (m_nSlot >= 0 && nNewSlot != m_nSlot) {
            m_nDoneBefore += PartitionFileList[m_nSlot].m_dwFileSize;
        }
        if (nNewSlot != m_nSlot) {
            m_nNumber = std::min(m_nNumber + 1, std::max(m_nCount, 1));
        }
        m_nSlot = nNewSlot;
    } else if (strText == STATUS_PARTITION_DONE) {
        ++m_nPartitionsDone;
    }
}

void CRunProgress::OnProgress(int64_t nNowMs)
{
    if (m_nSlot < 0) {
        return;
    }
    const uint64_t nDone = m_nDoneBefore + PartitionFileList[m_nSlot].m_dwBytesWritten;
    if (nDone != m_rate.Done() || !m_rate.Begun()) {
        m_nLastWriteMs = nNowMs;
    }
    m_rate.Update(nDone, nNowMs);
    const uint64_t nTotal = m_rate.Total();
    const int nPercent = nTotal == 0 ? 0 : static_cast<int>(std::min<uint64_t>(100, nDone * 100 / nTotal));
    m_nPercent = std::max(m_nPercent, nPercent);
}

std::string CRunProgress::PartitionName() const
{
    return m_nSlot >= 0 ? PartitionNames[m_nSlot] : "";
}
