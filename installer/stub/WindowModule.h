// The installer's windows come from a module of their own, carried in the
// installer file after the unzip component: the stub itself needs nothing
// but the C library, so it starts on a server without X, and only a run that
// shows windows loads FLTK and the X client libraries, with the module.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "InstallerFace.h"

namespace Decantor {

// The module's one export: the window face, or null with the reason in
// aWhyNot (aLength bytes, NUL-terminated) when there is no display.
inline constexpr const char* kWindowFaceEntry = "decantor_window_face";
using TWindowFaceEntry = TInstallerFace* (*)(const char* aScreenshotDir, char* aWhyNot, std::size_t aLength);

// The window face of this installer: its module copied to a private
// temporary file (removed once loaded), loaded and asked for the face.
// Null when that cannot be done, with aWhyNot saying why in a few words
// ("no display", the loader's message for a missing X library, "this
// installer carries no window module"). The module stays loaded until the
// program ends.
std::unique_ptr<TInstallerFace> LoadWindowFace(const std::string& aScreenshotDir, std::string& aWhyNot);

}  // namespace Decantor
