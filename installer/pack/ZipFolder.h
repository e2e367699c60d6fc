// Writing a folder's contents as a zip archive.
#pragma once

#include <string>

namespace Decantor {

// Writes every file and sub-folder below Folder into a new zip archive ZipPath, deflated, with
// names relative to Folder ("Doc/Read me.txt"; folders as "Doc/"), in byte order of the names,
// with each file's modification time and permission bits. Links are followed; other special
// files are refused. Failure: EPackError.
void ZipFolder(const std::string& Folder, const std::string& ZipPath);

}  // namespace Decantor
