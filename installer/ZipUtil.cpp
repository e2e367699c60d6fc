#include "ZipUtil.h"

#include <cstring>

#include "RmDll.h"

namespace Decantor {

namespace {

struct TUnzipState {
  TDllOwner Library;
  TDunzipFunc Dunzip = nullptr;
  TUnzipCommand Command{};
  TUnzipInfo Info{};
};

TUnzipState& State() {
  static TUnzipState state;
  return state;
}

// Runs the bound component on the record. The path fields point at the
// caller's strings only during the call and are cleared afterwards, so the
// record never keeps an address that has gone.
int32_t Run() {
  TUnzipState& state = State();
  if (state.Dunzip == nullptr) return -1;
  const int32_t result = state.Dunzip(&state.Command);
  state.Command.ZipFile = nullptr;
  state.Command.FileSpec = nullptr;
  state.Command.DestDir = nullptr;
  return result;
}

}  // namespace

void InitUnzip(const std::string& aDllPath, int32_t aValue, TUnzipProgress aCallback,
               int32_t aData) {
  TUnzipState& state = State();
  FreeUnzipDll();
  state.Library.Load(aDllPath);
  state.Dunzip = reinterpret_cast<TDunzipFunc>(GetProc("dunzip", state.Library.Get()));
  std::memset(&state.Command, 0, sizeof state.Command);
  std::memset(&state.Info, 0, sizeof state.Info);
  TUnzipCommand& command = state.Command;
  command.Size = sizeof(TUnzipCommand);
  command.Info = &state.Info;
  command.Reserved40 = -1;
  command.Callback = aCallback;
  command.CallbackData = aData;
  command.ParentWindow = aValue;
  command.Reserved72 = aData;
  ResetUnzipCommand();
}

void ResetUnzipCommand() {
  TUnzipCommand& command = State().Command;
  command.Operation = 0;
  command.ZipFile = nullptr;
  command.FileSpec = nullptr;
  command.Overwrite = -1;
  command.DestDir = nullptr;
  command.Reserved28 = 0;
  command.TestOnly = 0;
  command.Reserved36 = -1;
  command.Reserved48 = 0;
  command.Reserved52 = -1;
  command.Reserved56 = -1;
  command.EntryCount = 0;
  command.Reserved80 = 0;
  command.Reserved108 = 0;
}

int32_t CountZipEntries(const std::string& aZipPath) {
  ResetUnzipCommand();
  TUnzipCommand& command = State().Command;
  command.Operation = uoCount;
  command.ZipFile = aZipPath.c_str();
  return Run() == urOk ? command.EntryCount : -1;
}

bool UnzipFiles(const std::string& aZipPath, const std::string& aFileSpec,
                const std::string& aDestDir, bool aOption) {
  ResetUnzipCommand();
  TUnzipCommand& command = State().Command;
  command.Operation = uoExtract;
  command.ZipFile = aZipPath.c_str();
  command.FileSpec = aFileSpec.c_str();
  command.DestDir = aDestDir.c_str();
  command.TestOnly = aOption ? -1 : 0;
  command.Overwrite = -1;
  return Run() == urOk;
}

void FreeUnzipDll() {
  TUnzipState& state = State();
  state.Dunzip = nullptr;
  state.Library.Reset();
}

const TUnzipCommand& UnzipCommand() { return State().Command; }

std::string UnzipMessage() {
  const TUnzipInfo& info = State().Info;
  return std::string(info.Message, strnlen(info.Message, sizeof info.Message));
}

}  // namespace Decantor
