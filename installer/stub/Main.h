// The installer's main window and its run: reads the configuration record,
// asks for the destination, copies the carried unzip component and archive out
// of the installer's own file, extracts the archive with a progress bar, moves
// the "%" files into the system directory, registers and runs what the record
// names, and cleans up.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "ConfigLayout.h"
#include "DestDir.h"
#include "InstallerFace.h"

namespace Decantor {

// Choices given on the command line.
struct TRunOptions {
  std::optional<std::string> Destination;  // answers the destination dialog
  bool AcceptDestination = false;          // presses Ok on the offered destination
  bool NoRun = false;                      // skip the follow-up command
};

class TMainForm {
 public:
  // Texts and geometry of the window, shared by the faces that show it. The
  // client area is the 405 x 113 outer size without a standard frame.
  static constexpr const char* kStartTitle = "Merovant auto-extractible file";
  static constexpr const char* kDesignCaption = "MainForm";
  static constexpr const char* kLabelCaption = "Extracting Files...";
  static constexpr int kClientWidth = 397, kClientHeight = 86;
  static constexpr int kLabelX = 20, kLabelY = 26, kLabelW = 80, kLabelH = 13;
  static constexpr int kBarX = 20, kBarY = 41, kBarW = 357, kBarH = 16;
  static constexpr int kStartIntervalMs = 100;
  static constexpr int kChunkSize = 50000;

  // aFace shows the forms and boxes (borrowed); aRecord is the installer's
  // configuration record. One main form exists per program.
  TMainForm(TInstallerFace& aFace, const TConfigValues& aRecord, const TRunOptions& aOptions);
  ~TMainForm();

  // The whole program: FormCreate (an error there is shown and leaves the
  // window idle), then the window's message loop. Returns the exit status: 0
  // after a successful run, 1 otherwise.
  int Run();

  // Lists the carried archive's entries on standard output after checking
  // every entry's data, without installing anything. Returns the exit status.
  int ListContents();

  // The event handlers of the window.
  void FormCreate();
  void FormCloseQuery(bool& CanClose);
  void tmStartTimer();
  // The progress callback given to the unzip component.
  static int32_t UnzipProgress(const char* aName, int32_t aPercent, int32_t aIgnored);

  // A close request from the user: asks FormCloseQuery; during the run an
  // accepted request closes the window only once the run has ended.
  bool CloseRequest();

  // The standard error box: the message, with a final "." when its last
  // character sorts after "." in byte order, under a stop icon.
  static void ShowError(const std::string& aMessage);

  // State, for the faces and tests.
  const std::string& Caption() const { return FCaption; }
  int32_t Position() const { return FPosition; }
  bool Finished() const { return FFinished; }
  const std::string& DestDir() const { return FDestDir; }
  const std::string& RunCommand() const { return FRunCommand; }
  const std::string& RegisterFile() const { return FRegisterFile; }

 private:
  void SetPosition(int32_t aPosition);
  void CheckLayout();
  void CopySegment(int32_t aStart, int32_t aEnd, int32_t aTarget, const std::string& aFileName);
  void Extract();
  void CheckComponent();
  static std::string ExtractionFailure();
  void MovePercentFiles();
  // The "%" files go to the system directory after extraction: when it
  // cannot be written and the archive has any, the run stops before
  // extracting (with the message of a failed move), so nothing is half done.
  void CheckPercentTarget();
  void CleanUp();
  void AfterExtraction();
  std::string ExtractionDir() const;

  TInstallerFace& FFace;
  TConfigValues FRecord;
  TRunOptions FOptions;
  std::unique_ptr<TDestDirForm> FDestDirForm;  // lives until the program ends
  std::string FCaption = kDesignCaption;
  int32_t FPosition = 0;
  bool FStartArmed = false;
  bool FRunning = false;
  bool FCloseAfterRun = false;
  bool FQuiet = false;  // listing: no progress shown

  bool FFinished = false;
  int32_t FDllOffset = 0;
  int32_t FZipOffset = 0;
  std::string FDestDir;
  std::string FRunCommand;
  std::string FRegisterFile;
  std::string FTempDll;
  std::string FTempZip;

  // Progress of the extraction: entries seen (never reset), the last entry's
  // name, and the archive's entry count (-1 when the count failed).
  int32_t FItemCount = 0;
  std::string FLastItem;
  // While CheckPercentTarget runs, the callback counts "%" names instead.
  bool FCountingPercent = false;
  // The user stopped the extraction (Cancel, Ctrl-C).
  bool FCancelled = false;
  int32_t FPercentCount = 0;
  int32_t FTotal = 0;
};

}  // namespace Decantor
