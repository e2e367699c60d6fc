#include "ElfFile.h"

#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "FileHandle.h"

namespace Decantor {

namespace {

// Reads aCount bytes at aOffset; false when the file is shorter.
bool ReadAt(int aFd, uint64_t aOffset, void* aBuffer, std::size_t aCount) {
  return pread(aFd, aBuffer, aCount, static_cast<off_t>(aOffset)) ==
         static_cast<ssize_t>(aCount);
}

}  // namespace

TElfInfo ReadElfInfo(const std::string& aPath) {
  TElfInfo info;
  TFileHandle file(open(aPath.c_str(), O_RDONLY | O_CLOEXEC));
  unsigned char ident[EI_NIDENT + 4];
  if (file.Get() < 0 || !ReadAt(file.Get(), 0, ident, sizeof ident)) return info;
  if (std::memcmp(ident, ELFMAG, SELFMAG) != 0) return info;
  info.IsElf = true;
  bool little = ident[EI_DATA] == ELFDATA2LSB;
  auto half = [&](int at) {
    return static_cast<uint16_t>(little ? ident[at] | ident[at + 1] << 8
                                        : ident[at] << 8 | ident[at + 1]);
  };
  info.Type = half(EI_NIDENT);
  info.Machine = half(EI_NIDENT + 2);
  info.Is64LittleEndian = little && ident[EI_CLASS] == ELFCLASS64;
  return info;
}

bool ElfExportsFunction(const std::string& aPath, const std::string& aName) {
  if (!ReadElfInfo(aPath).Is64LittleEndian) return false;
  TFileHandle file(open(aPath.c_str(), O_RDONLY | O_CLOEXEC));
  Elf64_Ehdr header;
  if (!ReadAt(file.Get(), 0, &header, sizeof header) || header.e_shentsize != sizeof(Elf64_Shdr))
    return false;
  std::vector<Elf64_Shdr> sections(header.e_shnum);
  if (sections.empty() ||
      !ReadAt(file.Get(), header.e_shoff, sections.data(), sections.size() * sizeof(Elf64_Shdr)))
    return false;
  for (const Elf64_Shdr& symbols : sections) {
    if (symbols.sh_type != SHT_DYNSYM || symbols.sh_link >= sections.size() ||
        symbols.sh_entsize != sizeof(Elf64_Sym))
      continue;
    const Elf64_Shdr& names = sections[symbols.sh_link];
    // Generous bounds only: a dynamic string table of a sane library is far smaller.
    if (names.sh_size > (64u << 20) || symbols.sh_size > (64u << 20)) return false;
    std::vector<char> strings(names.sh_size + 1, '\0');
    std::vector<Elf64_Sym> entries(symbols.sh_size / sizeof(Elf64_Sym));
    if (!ReadAt(file.Get(), names.sh_offset, strings.data(), names.sh_size) ||
        !ReadAt(file.Get(), symbols.sh_offset, entries.data(), entries.size() * sizeof(Elf64_Sym)))
      return false;
    for (const Elf64_Sym& sym : entries) {
      unsigned bind = ELF64_ST_BIND(sym.st_info);
      if (sym.st_name >= names.sh_size || sym.st_shndx == SHN_UNDEF ||
          ELF64_ST_TYPE(sym.st_info) != STT_FUNC || (bind != STB_GLOBAL && bind != STB_WEAK))
        continue;
      if (aName == &strings[sym.st_name]) return true;
    }
  }
  return false;
}

}  // namespace Decantor
