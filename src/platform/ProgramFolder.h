// ProgramFolder.h -- the folder every data path is built from (vek.heap, vek.hlp, save/).
#pragma once

#include <string>

namespace wordlark::platform {

// The path separator of this platform.
inline constexpr char kPathSeparator = '/';

// The folder of the running executable, ending in a separator; empty when it cannot be found.
std::string executableFolder();

// Makes a folder name end in exactly one separator ("" stays "").
std::string withTrailingSeparator(std::string folder);

}  // namespace wordlark::platform
