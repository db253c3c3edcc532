#pragma once

#include <string>

#include "base/result.h"

// Where a tool reads one of the piece's files (TEX.tga, RX_muc.mp3) from: the
// working directory when the name is there, whatever it is (a broken file in
// the working directory is the user's, not to be passed over), else
// `installedDir` when it holds the file, else the bare name, which the reader
// then finds missing.
std::string FindAssetFile(const std::string& name, const std::string& installedDir);

// The same with the data folder of an installed copy.
std::string FindAssetFile(const std::string& name);

// FindAssetFile into `path`, and whether the piece can read the file found
// there, as it opens it; the failure names what is wrong ("TEX.tga is not in
// this folder nor in /usr/share/quorvane", "'TEX.tga' is not a regular file").
Result FindReadableAsset(const std::string& name, std::string& path);
