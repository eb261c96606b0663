#pragma once
// Staging of the firmware container: written from the executable (or copied from a file) into the
// temporary folder, which becomes the current folder for the rest of the process.
#include <cstdint>
#include <string>

constexpr int FIRMWARE_RESOURCE_ID = 132;
constexpr char FIRMWARE_RESOURCE_TYPE[] = "File";
// Joined to the temporary folder with "%s%s"; the folder already ends with a separator.
constexpr char STAGED_IMAGE_NAME[] = "\\CorvidT_wdl4.bin";

// Bytes a run from resource nResourceId needs free in the temporary folder: the staged image and the
// partition files cut from it take about twice the image. 0 when the executable has no such resource.
uint64_t StagingSpaceNeeded(int nResourceId);

// Makes the temporary folder current and composes the staged image path in *pstrPath.
bool GetStagedImagePath(std::string* pstrPath);

// Writes resource "File" nResourceId to the staged image path (returned in *pstrPath, also on
// failure once it is known, so that the caller can delete what is there). Shows "%s file unload."
// when the executable has no such resource. When the staged file could not be written (a full disk,
// say), *pnWriteErrno receives the error number; otherwise 0.
bool StageFirmwareImage(int nResourceId, std::string* pstrPath, int* pnWriteErrno = nullptr);

// Deletes what a run that was killed may have left in the temporary folder: the staged image and the
// partition files of the embedded container nResourceId (their names are fixed by its table).
void RemoveLeftoverStagedFiles(int nResourceId);

// The same with a container file chosen by the user instead of the embedded one.
bool StageFirmwareFile(const char* pszSourcePath, std::string* pstrPath, int* pnWriteErrno = nullptr);
