// Staging the shipped image (StageFirmwareImage + ParseContainer with the digest + MakePartitionFiles)
// against the plain file system doing the same amount of work: cp of the 62 MB image plus dd writing
// the 57 MB of partition data. Prints both times, the ratio and the peak resident memory.
//   bench_staging [runs]
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "image/container.h"
#include "image/partition_files.h"
#include "image/staging.h"
#include "platform/files.h"

namespace {

double MedianMs(int nRuns, const std::function<bool()>& fnRun, const std::function<void()>& fnCleanUp)
{
    std::vector<double> times;
    for (int i = 0; i <= nRuns; ++i) {
        auto t0 = std::chrono::steady_clock::now();
        if (!fnRun()) {
            fprintf(stderr, "bench_staging: run failed\n");
            exit(1);
        }
        auto t1 = std::chrono::steady_clock::now();
        fnCleanUp();
        if (i > 0)  // the first run warms the caches
            times.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    int nRuns = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
    std::string strImage;
    if (!GetStagedImagePath(&strImage))
        return 1;
    std::string strFolder = strImage.substr(0, strImage.size() - (sizeof STAGED_IMAGE_NAME - 1));

    double dStage = MedianMs(
        nRuns,
        [&] {
            return StageFirmwareImage(FIRMWARE_RESOURCE_ID, &strImage) && ParseContainer(strImage.c_str()) == 0 &&
                   MakePartitionFiles(strImage.c_str()) == 0;
        },
        [&] { RemoveStagedFiles(strImage.c_str()); });

    uint64_t nDataBytes = 0;
    for (int i = 0; i < ContainerInfo.RecordCount(); ++i)
        nDataBytes += ContainerInfo.m_records[i].m_dwImageEnd - ContainerInfo.m_records[i].m_dwImageStart;

    // The baseline needs an image to copy; staged once more outside the timing.
    if (!StageFirmwareImage(FIRMWARE_RESOURCE_ID, &strImage))
        return 1;
    const std::string strCopy = strFolder + "cp_copy.bin";
    const std::string strDd = strFolder + "dd_out.bin";
    auto fnCleanUp = [&] {
        Platform::DeleteFileAt(strCopy.c_str());
        Platform::DeleteFileAt(strDd.c_str());
    };
    struct Baseline {
        const char* pszLabel;
        unsigned nBlock;
    };
    const Baseline BASELINES[] = {{"dd bs=2048 (page-sized writes)", 2048}, {"dd bs=1M", 1 << 20}};
    std::vector<double> baselines;
    for (const Baseline& baseline : BASELINES) {
        char szCommand[1024];
        snprintf(szCommand, sizeof szCommand, "cp '%s' '%s' && dd if=/dev/zero of='%s' bs=%u count=%llu status=none",
                 (strFolder + (STAGED_IMAGE_NAME + 1)).c_str(), strCopy.c_str(), strDd.c_str(), baseline.nBlock,
                 static_cast<unsigned long long>(nDataBytes / baseline.nBlock));
        baselines.push_back(MedianMs(nRuns, [&] { return system(szCommand) == 0; }, fnCleanUp));
    }
    Platform::DeleteFileAt(strImage.c_str());

    struct rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    printf("staging (stage + parse with digest + partition files): %8.1f ms (median of %d)\n", dStage, nRuns);
    for (size_t i = 0; i < baselines.size(); ++i)
        printf("cp 62 MB + %-30s %8.1f ms   ratio %.2f\n", BASELINES[i].pszLabel, baselines[i], dStage / baselines[i]);
    printf("partition data written: %llu bytes\n", static_cast<unsigned long long>(nDataBytes));
    printf("peak resident memory: %.1f MB\n", usage.ru_maxrss / 1024.0);
    return 0;
}
