#include "unzip/ParallelFiles.h"

#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "unzip/EntryPath.h"
#include "unzip/FileEntry.h"
#include "unzip/UnzipCommand.h"

namespace Decantor::Unzip {

namespace {

constexpr size_t kMaxPath = 4096;
constexpr size_t kChunk = 64 * 1024;
constexpr int kMaxWorkers = 4;

// A worker's share of the files, [Next, End) of the job's list.
struct TRange {
  size_t Next = 0;
  size_t End = 0;
};

// What the workers share: their shares of the files, the files done (a
// queue the calling thread empties), and the first failure.
struct TShared {
  const TParallelFiles* Job = nullptr;
  // An archive keeps a folder's files together, and creating files in one
  // directory takes that directory's lock: each worker takes its files from
  // a part of the list of its own, so that the workers write in different
  // folders. One done with its part takes from the end of the largest part
  // left, far from where that part's worker is. Under TakeLock.
  TRange Ranges[kMaxWorkers];
  int RangeCount = 0;
  pthread_mutex_t TakeLock = PTHREAD_MUTEX_INITIALIZER;
  std::atomic<bool> Stop{false};
  pthread_mutex_t Lock = PTHREAD_MUTEX_INITIALIZER;
  pthread_cond_t Changed = PTHREAD_COND_INITIALIZER;
  // Names of the files done and not yet reported, malloc'd; and how many
  // workers are still at work. Both under Lock.
  char** DoneNames = nullptr;
  size_t DoneCount = 0;
  int Running = 0;
  int32_t Result = urOk;
  char Message[sizeof(TUnzipInfo::Message)] = {};
};

struct TWorker {
  TShared* Shared = nullptr;
  int Index = 0;
  TZipArchive Archive;
  TDestination Dest;
  TUnzipInfo Info{};
  char* Path = nullptr;
  char* Buffer = nullptr;
  pthread_t Thread{};
  bool Started = false;
};

bool Stopped(void* aShared, const TZipEntry&, int32_t) {
  return !static_cast<TShared*>(aShared)->Stop.load(std::memory_order_relaxed);
}

void Publish(TShared& aShared, const char* aName) {
  const size_t length = std::strlen(aName);
  char* copy = static_cast<char*>(std::malloc(length + 1));
  if (copy != nullptr) std::memcpy(copy, aName, length + 1);
  pthread_mutex_lock(&aShared.Lock);
  aShared.DoneNames[aShared.DoneCount++] = copy;
  pthread_cond_signal(&aShared.Changed);
  pthread_mutex_unlock(&aShared.Lock);
}

void Fail(TShared& aShared, int32_t aResult, const char* aMessage) {
  pthread_mutex_lock(&aShared.Lock);
  if (aShared.Result == urOk) {
    aShared.Result = aResult;
    std::strncpy(aShared.Message, aMessage, sizeof aShared.Message - 1);
  }
  aShared.Stop = true;
  pthread_cond_signal(&aShared.Changed);
  pthread_mutex_unlock(&aShared.Lock);
}

// The next file for worker aIndex, false when none is left.
bool TakeFile(TShared& aShared, int aIndex, size_t& aFile) {
  pthread_mutex_lock(&aShared.TakeLock);
  TRange* range = &aShared.Ranges[aIndex];
  bool taken = range->Next < range->End;
  if (taken) {
    aFile = range->Next++;
  } else {
    TRange* largest = nullptr;
    for (int i = 0; i < aShared.RangeCount; ++i) {
      TRange& other = aShared.Ranges[i];
      if (other.Next < other.End && (largest == nullptr || other.End - other.Next > largest->End - largest->Next))
        largest = &other;
    }
    taken = largest != nullptr;
    if (taken) aFile = --largest->End;
  }
  pthread_mutex_unlock(&aShared.TakeLock);
  return taken;
}

int32_t WriteOne(TWorker& aWorker, const TEntryPosition& aPosition, TReport& aReport) {
  TZipEntry entry;
  int32_t result = aWorker.Archive.ReadEntryAt(aPosition, entry, aReport);
  if (result != urOk) return result;
  bool directory = false;
  // Checked once before the extraction began; normalised again here for
  // this worker's own copy of the path.
  if (!NormalizeEntryName(entry.Name, entry.NameLength, aWorker.Path, kMaxPath, directory) || directory)
    return aReport.Fail(urUnsafeName, "entry %s would leave the destination", entry.Name);
  result = WriteFileEntry(aWorker.Archive, aWorker.Dest, entry, aWorker.Path, true, aWorker.Buffer, kChunk, aReport,
                          Stopped, aWorker.Shared);
  if (result == urOk) Publish(*aWorker.Shared, entry.Name);
  return result;
}

void* Work(void* aWorker) {
  TWorker& worker = *static_cast<TWorker*>(aWorker);
  TShared& shared = *worker.Shared;
  TReport report(&worker.Info);
  int32_t result = worker.Archive.Open(shared.Job->ZipFile, report);
  if (result == urOk) result = worker.Dest.Open(shared.Job->DestDir, report);
  size_t index = 0;
  while (result == urOk && !shared.Stop && TakeFile(shared, worker.Index, index))
    result = WriteOne(worker, shared.Job->Files[index], report);
  // A worker stopped by another's failure or a cancel has nothing to say.
  if (result != urOk && !(result == urCancelled && shared.Stop)) Fail(shared, result, worker.Info.Message);
  pthread_mutex_lock(&shared.Lock);
  --shared.Running;
  pthread_cond_signal(&shared.Changed);
  pthread_mutex_unlock(&shared.Lock);
  return nullptr;
}

// Reports the files done until every worker has ended.
void ReportUntilDone(TShared& aShared) {
  pthread_mutex_lock(&aShared.Lock);
  for (;;) {
    while (aShared.DoneCount > 0) {
      char* name = aShared.DoneNames[--aShared.DoneCount];
      pthread_mutex_unlock(&aShared.Lock);
      const bool goOn = name == nullptr || aShared.Job->Done == nullptr || aShared.Stop ||
                        aShared.Job->Done(aShared.Job->DoneData, name);
      std::free(name);
      if (!goOn) Fail(aShared, urCancelled, "cancelled");
      pthread_mutex_lock(&aShared.Lock);
    }
    if (aShared.Running == 0) break;
    pthread_cond_wait(&aShared.Changed, &aShared.Lock);
  }
  pthread_mutex_unlock(&aShared.Lock);
}

}  // namespace

int WorkersForThisMachine() {
  // DECANTOR_UNZIP_WORKERS=1 writes in order, for comparison (the bench).
  if (const char* forced = std::getenv("DECANTOR_UNZIP_WORKERS")) {
    const int workers = std::atoi(forced);
    if (workers >= 1) return workers > kMaxWorkers ? kMaxWorkers : workers;
  }
  const long cores = sysconf(_SC_NPROCESSORS_ONLN);
  return cores < 2 ? 1 : cores > kMaxWorkers ? kMaxWorkers : int(cores);
}

int32_t ExtractFilesInParallel(const TParallelFiles& aJob, TDestination& aJournal, TReport& aReport) {
  TShared shared;
  shared.Job = &aJob;
  shared.DoneNames = static_cast<char**>(std::calloc(aJob.Count ? aJob.Count : 1, sizeof(char*)));
  if (shared.DoneNames == nullptr) return aReport.Fail(urNoMemory, "out of memory");
  const int count = aJob.Workers < 1 ? 1 : aJob.Workers > kMaxWorkers ? kMaxWorkers : aJob.Workers;
  shared.RangeCount = count;
  for (int i = 0; i < count; ++i)
    shared.Ranges[i] = {aJob.Count * size_t(i) / size_t(count), aJob.Count * size_t(i + 1) / size_t(count)};
  TWorker workers[kMaxWorkers];
  int32_t result = urOk;
  for (int i = 0; i < count && result == urOk; ++i) {
    TWorker& worker = workers[i];
    worker.Shared = &shared;
    worker.Index = i;
    worker.Path = static_cast<char*>(std::malloc(kMaxPath));
    worker.Buffer = static_cast<char*>(std::malloc(kChunk));
    if (worker.Path == nullptr || worker.Buffer == nullptr) {
      result = aReport.Fail(urNoMemory, "out of memory");
      break;
    }
    pthread_mutex_lock(&shared.Lock);
    ++shared.Running;
    pthread_mutex_unlock(&shared.Lock);
    worker.Started = pthread_create(&worker.Thread, nullptr, Work, &worker) == 0;
    if (!worker.Started) {
      pthread_mutex_lock(&shared.Lock);
      --shared.Running;
      pthread_mutex_unlock(&shared.Lock);
      result = aReport.Fail(urNoMemory, "cannot start a worker thread");
    }
  }
  if (result != urOk) shared.Stop = true;
  ReportUntilDone(shared);
  for (TWorker& worker : workers) {
    if (worker.Started) pthread_join(worker.Thread, nullptr);
    aJournal.Adopt(worker.Dest);
    std::free(worker.Path);
    std::free(worker.Buffer);
  }
  for (size_t i = 0; i < shared.DoneCount; ++i) std::free(shared.DoneNames[i]);
  std::free(shared.DoneNames);
  pthread_mutex_destroy(&shared.Lock);
  pthread_mutex_destroy(&shared.TakeLock);
  pthread_cond_destroy(&shared.Changed);
  if (result != urOk) return result;
  if (shared.Result != urOk) return aReport.Fail(shared.Result, "%s", shared.Message);
  return urOk;
}

}  // namespace Decantor::Unzip
