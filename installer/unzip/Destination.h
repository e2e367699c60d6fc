// The destination directory of an extraction, written without ever following a
// symbolic link below it: every directory on an entry's path is opened with
// O_NOFOLLOW relative to its parent, so neither a link in the archive nor one
// already present in the destination can redirect a write elsewhere. Files are
// written under a temporary name and renamed into place once their data has
// been verified, so a damaged entry never appears under its own name. What a
// run creates (directories, files and links where nothing stood) is noted, so
// that a failed or cancelled extraction can remove it again and leave the
// destination as it found it; files that were there before stay.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>

#include "unzip/Report.h"

namespace Decantor::Unzip {

class TDestination {
 public:
  TDestination() = default;
  ~TDestination();
  TDestination(const TDestination&) = delete;
  TDestination& operator=(const TDestination&) = delete;

  // Creates aDir with its missing parents (following links, as any path the
  // user gives) and opens it. urWriteFailed on failure.
  int32_t Open(const char* aDir, TReport& aReport);

  // Bytes this process may still write on the destination's file system
  // (unlimited when that cannot be told).
  uint64_t FreeSpace() const;

  // Whether something (file, directory or link) already exists at the relative path.
  bool Exists(const char* aPath) const;

  // Creates every directory of the relative path aPath. urWriteFailed when one
  // cannot be created or exists as something other than a real directory.
  int32_t MakeDirectories(const char* aPath, TReport& aReport);

  // Starts the file at the relative path aPath: its parent directories are
  // created and a temporary file opened beside it with permissions aMode (the
  // umask applies).
  int32_t BeginFile(const char* aPath, uint32_t aMode, TReport& aReport);
  int32_t WriteFile(const char* aData, size_t aSize, TReport& aReport);
  // Gives the file its modification time and renames it over aPath's name.
  int32_t CommitFile(time_t aModTime, TReport& aReport);
  // Drops the file begun last; nothing of it remains.
  void DiscardFile();

  // Creates a symbolic link at aPath pointing to aTarget, replacing what stands there.
  int32_t MakeLink(const char* aPath, const char* aTarget, TReport& aReport);

  // Removes, newest first, everything this run created: its files and links,
  // then its directories as far as they are empty (a directory that also
  // holds older files stays, with them).
  void RollBack();
  // Takes over what aOther noted as created (a worker's destination over the
  // same directory), so that RollBack here takes it back too.
  void Adopt(TDestination& aOther);

 private:
  // Opens the directory holding aPath's last component, creating missing
  // directories; returns its descriptor (kept here until another directory
  // is needed: the caller does not close it) and points aLeaf at the last
  // component.
  int OpenParent(const char* aPath, const char*& aLeaf, TReport& aReport, int32_t& aResult);
  // Closes the directory OpenParent kept.
  void ForgetParent();
  // Opens the directories of aPath[0, aLength) one by one from the root,
  // never following a link; creates the missing ones when aCreate (noting
  // them), else fails. Returns the last one's descriptor (FRoot for an empty
  // range) or -1 with aResult set.
  int WalkDirectories(const char* aPath, size_t aLength, bool aCreate, TReport& aReport, int32_t& aResult);
  // Notes aPath[0, aLength) as created by this run.
  void Remember(const char* aPath, size_t aLength, bool aDirectory, bool aAbsolute);
  // True when something stands at aLeaf in aDir.
  static bool Present(int aDir, const char* aLeaf);
  // The number of "/" in aPath.
  static size_t Depth(const char* aPath);
  // Puts the next temporary name of this process in FTempName.
  void MakeTempName();
  int32_t Replace(int aDir, const char* aLeaf, const char* aPath, TReport& aReport);

  int FRoot = -1;
  int FFileDir = -1;
  int FFile = -1;
  const char* FFilePath = nullptr;
  const char* FFileLeaf = nullptr;
  char FTempName[64] = {};
  unsigned FTempCounter = 0;
  long FPid = 0;
  int FParent = -1;  // the directory OpenParent returned last, for FParentPath
  char* FParentPath = nullptr;
  size_t FParentLength = 0;
  // malloc'd, like everything here: the component links no C++ runtime.
  struct TCreated {
    char* Path;
    bool Directory;
    bool Absolute;  // a parent of the destination made by Open
  };
  // Removes one thing this run created, if it is still there (and empty).
  void RemoveCreated(const TCreated& aCreated);
  TCreated* FCreated = nullptr;
  size_t FCreatedCount = 0, FCreatedCapacity = 0;
};

}  // namespace Decantor::Unzip
