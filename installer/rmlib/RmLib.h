// The installer's utility library: errors and messages, files and paths, the registry table,
// library loading and registration, settings and logs. Include this header for all of it.
#pragma once

#include "FileHandle.h"
#include "RmDll.h"
#include "RmErrors.h"
#include "RmFiles.h"
#include "RmLog.h"
#include "RmMessages.h"
#include "RmPaths.h"
#include "RmRegistry.h"
#include "RmSettings.h"
