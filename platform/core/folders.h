// Folder helpers for the folder chooser: path normalisation, listing sub-folders,
// creating a folder with its parents, and the kind of volume a path lies on.
// Paths are Windows-1252 strings; the system's names are UTF-8.
#pragma once

#include <vector>

#include "platform/core/cstring.h"

namespace afx {

// The absolute, normalised form of path: a relative path is taken from base (itself
// absolute); empty and "." parts are dropped and ".." removes the part before it (never
// going above "/"). The result has no trailing '/' except for the root "/".
CString NormaliseFolderPath(const char* base, const char* path);

// The folder above an absolute, normalised folder ("/" for "/" itself).
CString ParentFolderPath(const char* folder);

// The names of the sub-folders of folder (links to folders included) that begin with
// prefix, sorted without regard to case. Names starting with '.' are left out unless
// includeHidden is set or the prefix itself starts with '.'; "." and ".." never appear.
// Names that have no Windows-1252 form are left out.
std::vector<CString> ListSubfolders(const char* folder, const char* prefix = "", bool includeHidden = false);

// Creates the folder path and every missing folder above it. False with *error set to
// the errno of the step that failed (ENOTDIR when a part of the path is not a folder).
bool CreateFolderPath(const char* path, int* error = nullptr);

// The kind of volume that holds a path (or, for a missing path, its nearest existing
// folder above it).
enum class VolumeKind { Fixed, Network, OpticalDisc };
VolumeKind VolumeKindOf(const char* path);

}  // namespace afx
