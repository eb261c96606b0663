#pragma once
// The support report of the wizard's runs: the engine's record of the last run (CRunRecord), kept in
// memory; nothing is written unless the user saves it or copies it to the clipboard. The report names no
// user and no computer: where either name appears (a temporary folder's path), it is replaced.
#include <windows.h>

#include <string>

#include "download/run_record.h"

// The record's first lines for a run on a port: the tool, the host, the driver, the port, the image and
// the language the wizard shows (its code: "en", "de", ...).
void BeginRunRecord(CRunRecord& record, int nPort, const char* pszLanguage);

// The report as the user gets it: the record with the user's and the computer's names taken out.
std::string SupportReportText(const CRunRecord& record);

// "krt-p940-report-20261210-071500.txt", from the local time.
std::wstring DefaultReportName();

// Writes the report as UTF-8 to a file; false with the system's reason when it cannot be written whole
// (nothing half-written stays).
bool WriteReportFile(const std::wstring& strPath, const std::string& strReport, std::string* pstrReason);

// Puts the report on the clipboard as text; false when the clipboard cannot be had.
bool CopyReportToClipboard(HWND hOwner, const std::string& strReport);
