#include "ElfImage.h"

#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "FileHandle.h"

namespace Decantor {

namespace {

bool ReadAt(int aFd, uint64_t aOffset, void* aOut, size_t aCount) {
  return pread(aFd, aOut, aCount, off_t(aOffset)) == ssize_t(aCount);
}

bool ReadHeader(const char* aPath, Elf64_Ehdr& aHeader, uint64_t& aSize, TFileHandle& aFile) {
  aFile = TFileHandle(open(aPath, O_RDONLY | O_CLOEXEC));
  struct stat st {};
  if (aFile.Get() < 0 || fstat(aFile.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  aSize = uint64_t(st.st_size);
  return aSize >= sizeof aHeader && ReadAt(aFile.Get(), 0, &aHeader, sizeof aHeader) &&
         std::memcmp(aHeader.e_ident, ELFMAG, SELFMAG) == 0 && aHeader.e_ident[EI_CLASS] == ELFCLASS64 &&
         aHeader.e_ident[EI_DATA] == ELFDATA2LSB;
}

bool Within(uint64_t aOffset, uint64_t aLength, uint64_t aSize) {
  return aOffset <= aSize && aLength <= aSize - aOffset;
}

uint16_t OwnMachine() {
  Elf64_Ehdr own{};
  uint64_t size = 0;
  TFileHandle file;
  return ReadHeader("/proc/self/exe", own, size, file) ? own.e_machine : uint16_t(EM_NONE);
}

}  // namespace

bool IsCompleteSharedObject(const std::string& aPath) {
  Elf64_Ehdr header{};
  uint64_t size = 0;
  TFileHandle file;
  if (!ReadHeader(aPath.c_str(), header, size, file)) return false;
  if (header.e_type != ET_DYN || header.e_machine != OwnMachine()) return false;
  if (header.e_phentsize != sizeof(Elf64_Phdr) || header.e_phnum == 0 ||
      !Within(header.e_phoff, uint64_t(header.e_phnum) * sizeof(Elf64_Phdr), size))
    return false;
  if (header.e_shoff != 0 && !Within(header.e_shoff, uint64_t(header.e_shnum) * header.e_shentsize, size))
    return false;
  std::vector<Elf64_Phdr> segments(header.e_phnum);
  if (!ReadAt(file.Get(), header.e_phoff, segments.data(), segments.size() * sizeof(Elf64_Phdr))) return false;
  for (const Elf64_Phdr& segment : segments)
    if (segment.p_type == PT_LOAD && !Within(segment.p_offset, segment.p_filesz, size)) return false;
  return true;
}

}  // namespace Decantor
