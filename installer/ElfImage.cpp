#include "ElfImage.h"

#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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

uint64_t ElfFileEnd(const uint8_t* aData, uint64_t aSize) {
  Elf64_Ehdr header{};
  if (aSize < sizeof header) return 0;
  std::memcpy(&header, aData, sizeof header);
  if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64 ||
      header.e_ident[EI_DATA] != ELFDATA2LSB || header.e_phentsize != sizeof(Elf64_Phdr) ||
      (header.e_shnum != 0 && header.e_shentsize != sizeof(Elf64_Shdr)))
    return 0;
  uint64_t end = sizeof header;
  const auto reach = [&](uint64_t aOffset, uint64_t aLength) {
    if (!Within(aOffset, aLength, aSize)) return false;
    end = std::max(end, aOffset + aLength);
    return true;
  };
  if (!reach(header.e_phoff, uint64_t(header.e_phnum) * sizeof(Elf64_Phdr))) return 0;
  if (!reach(header.e_shoff, uint64_t(header.e_shnum) * sizeof(Elf64_Shdr))) return 0;
  for (uint16_t i = 0; i < header.e_phnum; ++i) {
    Elf64_Phdr segment{};
    std::memcpy(&segment, aData + header.e_phoff + i * sizeof segment, sizeof segment);
    if (segment.p_type == PT_LOAD && !reach(segment.p_offset, segment.p_filesz)) return 0;
  }
  for (uint16_t i = 0; i < header.e_shnum; ++i) {
    Elf64_Shdr section{};
    std::memcpy(&section, aData + header.e_shoff + i * sizeof section, sizeof section);
    if (section.sh_type != SHT_NOBITS && !reach(section.sh_offset, section.sh_size)) return 0;
  }
  return end;
}

}  // namespace Decantor
