// The installer's wrapper over the unzip component: loads it by path, binds its
// export "dunzip", and fills the command record for each operation.
//
// One component and one command record per process; everything runs on the
// installer's one thread. Errors travel as EMerovantError.
#pragma once

#include <cstdint>
#include <string>

#include "unzip/UnzipCommand.h"

namespace Decantor {

// Loads the unzip component aDllPath (LoadDll: errors 4 and 12), binds "dunzip"
// (GetProc: error 30), zero-fills the command record and the information block,
// writes the start values (record size, information block, progress callback
// aCallback, aValue as the parent-window field, aData as the value the callback
// receives as its third argument) and then ResetUnzipCommand. The installer passes 0 for
// aValue and aData.
void InitUnzip(const std::string& aDllPath, int32_t aValue, TUnzipProgress aCallback,
               int32_t aData);

// Writes the values every operation starts from: no paths, no operation, the
// overwrite flag set, the entry count 0.
void ResetUnzipCommand();

// The number of entries of the archive aZipPath, or -1 when the component
// reports failure.
int32_t CountZipEntries(const std::string& aZipPath);

// Extracts the entries of aZipPath matching aFileSpec ("*.*" for all) into
// aDestDir, which the component creates when missing. aOption non-zero only
// checks the entries without writing them. True when the component reports success.
bool UnzipFiles(const std::string& aZipPath, const std::string& aFileSpec,
                const std::string& aDestDir, bool aOption);

// Unloads the component when one is loaded; the handle is cleared in any case.
void FreeUnzipDll();

// The command record as the last operation left it (for diagnostics and tests).
const TUnzipCommand& UnzipCommand();
// The component's description of its last failure ("" after success).
std::string UnzipMessage();

}  // namespace Decantor
