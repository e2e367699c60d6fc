#include "Main.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include "DestinationCheck.h"
#include "ElfImage.h"
#include "FileHandle.h"
#include "FollowUpCommand.h"
#include "RmDll.h"
#include "RmErrors.h"
#include "RmFiles.h"
#include "RmMessages.h"
#include "RmPaths.h"
#include "RmRegistry.h"
#include "RmSettings.h"
#include "ZipUtil.h"

namespace Decantor {

namespace {

constexpr int32_t kErrCorrupted = 3;  // "File corrupted"

// The form the unzip component's callback reports to; one per program.
TMainForm* gMainForm = nullptr;

const char kNothingToInstall[] = "The archive of this installer holds no files; nothing was installed";
const char kCancelled[] = "Extraction cancelled: nothing was installed";
const char kPercentFilesError[] =
    "Can't access to system directory.\r\nAdministrator rights are necessary to achieve this "
    "operation";

// The temporary copies of the unzip component and the archive, for the
// signal handler: a run stopped by Ctrl-C, a hang-up or kill leaves neither.
// Plain character arrays, because a handler may only call async-signal-safe
// functions (unlink, signal, raise).
char gTempFiles[2][4096];

// Ctrl-C while the files are extracted stops like the Cancel button: the
// next progress call cancels, and the unzip component takes back what it
// wrote. At any other moment it ends the program at once.
volatile sig_atomic_t gExtracting = 0;
volatile sig_atomic_t gInterrupted = 0;

void RemoveTempFilesAndDie(int aSignal) {
  if (aSignal == SIGINT && gExtracting) {
    gInterrupted = 1;
    return;
  }
  for (char* path : gTempFiles)
    if (path[0] != '\0') unlink(path);
  signal(aSignal, SIG_DFL);
  raise(aSignal);
}

void RememberTempFiles(const std::string& aDll, const std::string& aZip) {
  static const bool installed = [] {
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) signal(sig, RemoveTempFilesAndDie);
    return true;
  }();
  (void)installed;
  std::snprintf(gTempFiles[0], sizeof gTempFiles[0], "%s", aDll.size() < sizeof gTempFiles[0] ? aDll.c_str() : "");
  std::snprintf(gTempFiles[1], sizeof gTempFiles[1], "%s", aZip.size() < sizeof gTempFiles[1] ? aZip.c_str() : "");
}

void ForgetTempFiles() { gTempFiles[0][0] = gTempFiles[1][0] = '\0'; }

}  // namespace

TMainForm::TMainForm(TInstallerFace& aFace, const TConfigValues& aRecord,
                     const TRunOptions& aOptions)
    : FFace(aFace), FRecord(aRecord), FOptions(aOptions) {
  gMainForm = this;
}

TMainForm::~TMainForm() {
  if (gMainForm == this) gMainForm = nullptr;
}

void TMainForm::ShowError(const std::string& aMessage) {
  std::string text = aMessage;
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  CustomMsg(text, MB_OK | MB_ICONSTOP);
}

int TMainForm::Run() {
  try {
    FormCreate();
  } catch (const std::exception& e) {
    ShowError(e.what());
  }
  FFace.RunMainWindow(FStartArmed, [this] { tmStartTimer(); }, [this] { return CloseRequest(); });
  return FFinished ? 0 : 1;
}

void TMainForm::FormCreate() {
  FDllOffset = FRecord.DllOffset;
  FZipOffset = FRecord.ZipOffset;
  FCaption = FRecord.Title;
  FFace.SetMainCaption(FCaption);
  SetApplicationTitle(FCaption);

  // Paths are kept whole: a path cut to 255 characters would name another place.
  FDestDir = FRecord.DestDir;
  if (!FDestDir.empty() && static_cast<unsigned char>(FDestDir[0]) == kProgramFilesByte) {
    const std::string programFiles = ReadCurrentVersionValue("ProgramFilesDir");
    FDestDir = AddBackslash(programFiles) + DelLeadingBackslash(FDestDir.substr(1));
    // A user who cannot write there is offered the same place in the home.
    FDestDir = UserDestination(FDestDir, DelBackslash(programFiles));
  } else if (!FDestDir.empty()) {
    FDestDir = UserDestination(FDestDir, "");
  }

  if (!FDestDir.empty()) {
    FDestDirForm = std::make_unique<TDestDirForm>();
    FDestDirForm->SetCaption(FCaption);
    FDestDirForm->SetPath(FDestDir);
    int32_t result = mrNone;
    if (FOptions.Destination || FOptions.AcceptDestination) {
      if (FOptions.Destination) FDestDirForm->SetPath(*FOptions.Destination);
      if (FDestDirForm->PressOk()) {
        result = mrOk;
      } else if (FOptions.AcceptDestination) {
        // Unattended: the refusal was shown, and nobody is there to choose again.
        std::fflush(nullptr);
        std::_Exit(1);
      }
    }
    if (result != mrOk) result = FFace.ShowDestDialog(*FDestDirForm);
    if (result != mrOk) {
      // Nothing has been written yet; the program ends here.
      std::fflush(nullptr);
      std::_Exit(0);
    }
    FDestDir = FDestDirForm->Path();
  }
  if (FDestDir.empty()) FDestDir = ExtractFilePath(OwnPath());
  FDestDir = DelBackslash(FDestDir);

  FRunCommand = ReplaceAll("$", FDestDir, FRecord.RunCommand);
  FRegisterFile = ReplaceAll("$", FDestDir, FRecord.RegisterFile);
  FStartArmed = true;
}

void TMainForm::FormCloseQuery(bool& CanClose) {
  if (!FFinished) CanClose = Confirm(0, "Extraction is not complete.\r\nDo you want to quit?");
}

bool TMainForm::CloseRequest() {
  bool canClose = true;
  FormCloseQuery(canClose);
  if (!canClose) return false;
  if (FRunning) {
    FCloseAfterRun = true;
    return false;
  }
  return true;
}

void TMainForm::SetPosition(int32_t aPosition) {
  FPosition = aPosition < 0 ? 0 : aPosition > 100 ? 100 : aPosition;
  if (!FQuiet) FFace.SetProgress(FPosition);
}

std::string TMainForm::ExtractionDir() const {
  // The root directory "/" loses its only "/" with the trailing one.
  return FDestDir.empty() ? std::string("/") : FDestDir;
}

void TMainForm::CheckLayout() {
  struct stat st {};
  if (stat(OwnPath().c_str(), &st) != 0) RaiseError(kErrCantOpen, OwnPath());
  // Offsets that do not describe three pieces (an unpackaged stub, a damaged
  // record) would make the copies meaningless and their progress divide by zero.
  if (!LayoutIsValid(FDllOffset, FZipOffset, st.st_size)) RaiseError(kErrCorrupted, OwnPath());
}

// A record whose offsets fall inside the unzip component passes the layout
// check but carries a piece of it: loading that would map pages past its end.
void TMainForm::CheckComponent() {
  if (!IsCompleteSharedObject(FTempDll)) RaiseError(kErrCorrupted, OwnPath());
}

void TMainForm::CopySegment(int32_t aStart, int32_t aEnd, int32_t aTarget,
                            const std::string& aFileName) {
  std::vector<char> buffer(kChunkSize);
  const std::string& own = OwnPath();
  TFileHandle source(open(own.c_str(), O_RDONLY | O_CLOEXEC));
  if (source.Get() < 0) RaiseError(kErrCantOpen, own);
  DeleteFileIfExists(aFileName);
  TFileHandle target(open(aFileName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (target.Get() < 0) RaiseError(kErrCantOpen, aFileName);

  int64_t end = aEnd;
  if (end == 0) {
    struct stat st {};
    if (fstat(source.Get(), &st) != 0) RaiseError(kErrCantOpen, own);
    end = st.st_size;
  }
  const int32_t start = FPosition;
  const long double ratio = (long double)(aTarget - start) / (long double)(end - aStart);
  if (lseek(source.Get(), aStart, SEEK_SET) < 0) RaiseError(kErrCantOpen, own);
  int64_t current = aStart;
  ssize_t n = 0;
  do {
    const int64_t wanted = end - current < kChunkSize ? end - current : kChunkSize;
    n = ReadFull(source.Get(), buffer.data(), size_t(wanted));
    if (n < 0) RaiseError(kErrCantOpen, own);
    if (!WriteAll(target.Get(), buffer.data(), size_t(n))) RaiseError(kErrShortWrite, "");
    current += n;
    SetPosition(int32_t(std::nearbyintl((long double)(current - aStart) * ratio)) + start);
    FFace.ProcessMessages();
  } while (n == kChunkSize);
  if (close(target.Get()) != 0) RaiseError(kErrShortWrite, "");
  SetPosition(aTarget);
}

int32_t TMainForm::UnzipProgress(const char* aName, int32_t aPercent, int32_t) {
  TMainForm* form = gMainForm;
  if (form == nullptr) return -1;
  const std::string name = aName != nullptr ? aName : "";
  if (form->FCountingPercent) {
    if (name != form->FLastItem && name.size() > 1 && name[0] == '%' && name.find('/') == std::string::npos)
      ++form->FPercentCount;
    form->FLastItem = name;
    return -1;
  }
  if (name != form->FLastItem) {
    ++form->FItemCount;
    form->FLastItem = name;
    form->FFace.SetProgressDetail(name, form->FItemCount, form->FTotal);
  }
  // Without a count there is nothing to measure against; the bar waits at 20.
  if (form->FTotal > 0) {
    const long double share =
        ((long double)(form->FItemCount - 1) + aPercent * 0.01L) * 80.0L / (long double)form->FTotal;
    form->SetPosition(int32_t(std::nearbyintl(share)) + 20);
  }
  form->FFace.ProcessMessages();  // the Cancel button and the close box
  if (gInterrupted || form->FFace.CancelRequested()) {
    form->FCancelled = true;
    return 0;
  }
  return -1;
}

// "Error during extraction.", then on a line of its own what the unzip
// component says went wrong (an unsafe name, damaged data, a full disk...).
std::string TMainForm::ExtractionFailure() {
  const std::string reason = UnzipMessage();
  return reason.empty() ? "Error during extraction" : "Error during extraction.\n" + reason;
}

void TMainForm::Extract() {
  FTempDll = MakeTempFileName(TempDir(), ".so");
  FTempZip = MakeTempFileName(TempDir(), ".zip");
  RememberTempFiles(FTempDll, FTempZip);
  CopySegment(FDllOffset, FZipOffset, 5, FTempDll);
  CopySegment(FZipOffset, 0, 20, FTempZip);
  CheckComponent();
  InitUnzip(FTempDll, 0, UnzipProgress, 0);
  FLastItem.clear();
  FTotal = CountZipEntries(FTempZip);
  if (FTotal == 0) {
    Warn(0, kNothingToInstall, false);
    return;
  }
  CheckPercentTarget();
  FLastItem.clear();
  gExtracting = 1;
  const bool extracted = UnzipFiles(FTempZip, "*.*", ExtractionDir(), false);
  gExtracting = 0;
  if (!extracted) RaiseError(0, FCancelled ? std::string(kCancelled) : ExtractionFailure());
  FFace.Snapshot("main-extracted");
  MovePercentFiles();
}

void TMainForm::CheckPercentTarget() {
  if (access(SystemDir().c_str(), W_OK | X_OK) == 0) return;
  FPercentCount = 0;
  FCountingPercent = true;
  FLastItem.clear();
  // Only the "%" entries are read (tested, not written).
  const bool tested = UnzipFiles(FTempZip, "%*", "", true);
  FCountingPercent = false;
  if (!tested) RaiseError(0, ExtractionFailure());
  if (FPercentCount > 0) RaiseError(0, kPercentFilesError);
}

void TMainForm::MovePercentFiles() {
  std::vector<std::string> list;
  FindFiles(ExtractionDir(), "%*.*", "", list, false);
  try {
    for (const std::string& path : list) {
      // The unzip component refuses other "%" names; this guards the move
      // itself: one plain file, never a copy into a directory.
      const std::string name = ExtractFileName(path).substr(1);
      const std::string target = AddBackslash(SystemDir()) + name;
      if (name.empty() || name == "." || name == ".." || DirExists(path) || DirExists(target))
        throw std::runtime_error("not a plain file name: " + path);
      CopyFile(path, target);
      DeleteFileIfExists(path);
    }
  } catch (...) {
    RaiseError(0, kPercentFilesError);
  }
}

void TMainForm::CleanUp() {
  FreeUnzipDll();
  if (!FTempDll.empty()) DeleteFileIfExists(FTempDll);
  if (!FTempZip.empty()) DeleteFileIfExists(FTempZip);
  ForgetTempFiles();
}

void TMainForm::AfterExtraction() {
  if (!FRegisterFile.empty()) {
    if (FRegisterFile.find('/') == std::string::npos)
      FRegisterFile = FDestDir + "/" + FRegisterFile;
    RegisterOcx(FRegisterFile, true);
  }
  if (!FRunCommand.empty() && !FOptions.NoRun) {
    // The result is not looked at and the command is not waited for.
    StartDetached(BuildFollowUpCommand(FRecord.RunCommand, FDestDir));
  }
}

void TMainForm::tmStartTimer() {
  FStartArmed = false;
  FRunning = true;
  try {
    try {
      CheckLayout();
      Extract();
    } catch (...) {
      CleanUp();
      throw;
    }
    CleanUp();
    AfterExtraction();
    FFinished = true;
    FFace.ShowDone("The files were installed in " + ExtractionDir() + ".", true);
  } catch (const std::exception& e) {
    if (FCancelled) {
      // The user chose to stop: said once, and the window closes.
      CustomMsg(std::string(kCancelled) + ".", MB_OK | MB_ICONEXCLAMATION);
      FCloseAfterRun = true;
    } else {
      ShowError(e.what());
    }
  }
  FRunning = false;
  if (FFinished) {
    if (CloseRequest()) FFace.CloseMainWindow();
  } else if (FCloseAfterRun) {
    FFace.CloseMainWindow();
  }
}

namespace {

int32_t PrintEntry(const char* aName, int32_t, int32_t) {
  static std::string last;
  if (aName != nullptr && last != aName) {
    last = aName;
    std::printf("%s\n", aName);
  }
  return -1;
}

}  // namespace

int TMainForm::ListContents() {
  FQuiet = true;
  try {
    FDllOffset = FRecord.DllOffset;
    FZipOffset = FRecord.ZipOffset;
    try {
      CheckLayout();
      FTempDll = MakeTempFileName(TempDir(), ".so");
      FTempZip = MakeTempFileName(TempDir(), ".zip");
      RememberTempFiles(FTempDll, FTempZip);
      CopySegment(FDllOffset, FZipOffset, 5, FTempDll);
      CopySegment(FZipOffset, 0, 20, FTempZip);
      CheckComponent();
      InitUnzip(FTempDll, 0, PrintEntry, 0);
      const int32_t count = CountZipEntries(FTempZip);
      // The option checks every entry's data without writing anything.
      if (!UnzipFiles(FTempZip, "*.*", "", true)) RaiseError(0, ExtractionFailure());
      std::printf("%d entries\n", int(count));
    } catch (...) {
      CleanUp();
      throw;
    }
    CleanUp();
  } catch (const std::exception& e) {
    std::string text = e.what();
    std::fprintf(stderr, "%s\n", text.c_str());
    return 1;
  }
  return 0;
}

}  // namespace Decantor
