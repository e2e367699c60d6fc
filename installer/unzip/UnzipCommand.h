// The interface of the unzip component: the command record passed to `dunzip`,
// its information block, the progress callback and the result codes.
//
// The component is a shared library that the installer carries inside its own
// file, writes to a temporary file and loads by path. It exports one function,
// `dunzip`, with C linkage. It needs nothing but the C library, so it loads on
// any machine the installer runs on.
//
// The record keeps a fixed field order; on 64-bit every address field is
// pointer-sized and naturally aligned, so the record is 168 bytes here. Callers
// write sizeof(TUnzipCommand) into `Size`, which the component checks before it
// reads anything else (a record of another size is refused with urBadCommand).
#pragma once

#include <cstdint>

extern "C" {

// Called while entries are processed: aName is the entry's name as stored in the
// archive ("Doc/Read me.txt"), aPercent how much of that entry is done (0 to
// 100), aUserData the record's `CallbackData`. Every matching entry, directories
// included, produces at least one call, and the last call for an entry reports
// 100. Returning 0 cancels the operation (result urCancelled); any other value
// goes on. The name is valid only during the call.
typedef int32_t (*TUnzipProgress)(const char* aName, int32_t aPercent, int32_t aUserData);

// Operation codes (field `Operation`).
enum TUnzipOperation : int32_t {
  uoCount = 1,    // count the archive's entries into `EntryCount`
  uoExtract = 8,  // extract the entries matching `FileSpec` into `DestDir`
};

// Results of `dunzip`: 0 is success, everything else a failure.
enum TUnzipResult : int32_t {
  urOk = 0,
  urBadCommand = 1,     // null record, wrong `Size`, unknown operation, missing path
  urOpenFailed = 2,     // the archive cannot be opened or has no valid end record
  urCorrupt = 3,        // a central-directory entry or a local header is inconsistent
  urUnsafeName = 4,     // an entry would land outside the destination
  urUnsafeLink = 5,     // a symbolic link entry points outside the destination
  urDataError = 6,      // an entry's data is damaged: CRC or size mismatch, bad deflate data
  urWriteFailed = 7,    // a directory or file in the destination cannot be created or written
  urCancelled = 8,      // the progress callback returned 0
  urNoMemory = 9,
  urUnsupported = 10,   // an encrypted entry or a compression method other than stored/deflate
};

// Diagnostics written by the component into the block that `Info` points to (when
// not null): a NUL-terminated English description of the last failure, or an
// empty string after success. The caller owns the block.
struct TUnzipInfo {
  char Message[256];
  uint8_t Reserved[54];
};
static_assert(sizeof(TUnzipInfo) == 310);

// The command record. Fields named Reserved carry the fixed values the installer
// writes and are ignored by the component. All strings are NUL-terminated 8-bit
// text owned by the caller, read only during the call.
struct TUnzipCommand {
  int32_t Size;             // sizeof(TUnzipCommand)
  int32_t Operation;        // a TUnzipOperation
  const char* ZipFile;      // path of the archive
  TUnzipInfo* Info;         // diagnostics block, may be null
  const char* FileSpec;     // uoExtract: pattern of the entries to extract; null, "" and "*.*" mean all
  int32_t Overwrite;        // uoExtract: non-zero replaces existing files, 0 keeps them (entry skipped)
  int32_t Padding;          // keeps the next address aligned; ignored
  const char* DestDir;      // uoExtract: destination directory; created with its parents when missing
  int32_t Reserved28;
  int32_t TestOnly;         // uoExtract: non-zero reads and checks every matching entry, writes nothing
  int32_t Reserved36;
  int32_t Reserved40;
  int32_t Reserved44;
  int32_t Reserved48;
  int32_t Reserved52;
  int32_t Reserved56;
  TUnzipProgress Callback;  // progress callback, may be null
  int32_t CallbackData;     // passed as the callback's third argument
  int32_t ParentWindow;     // window handle for the component's own windows: it has none, so unused
  int32_t Reserved72;
  int32_t EntryCount;       // uoCount: the number of entries, written on success
  int32_t Reserved80;
  int32_t Reserved84;
  uint8_t Reserved88[20];
  uint16_t Reserved108;
  uint8_t Reserved110[32];
};

// Runs the command; returns a TUnzipResult. Never throws and never ends the
// process. Keeps no state between calls.
int32_t dunzip(TUnzipCommand* aCommand);

// The type of the export, for callers that bind it with dlsym.
typedef int32_t (*TDunzipFunc)(TUnzipCommand* aCommand);

}  // extern "C"
