#pragma once
// Where quarrow-cli finds the files installed with the program (default.qrw): beside the
// executable (the build folder, a portable copy), in ../share/quarrow from it (an install under
// any prefix), or in the data folder the build was configured to install to.

#include <filesystem>
#include <string_view>
#include <vector>

namespace quarrow {

// Returns the folders to look in, in that order; the executable's own only when the system
// tells where it is.
std::vector<std::filesystem::path> ShippedDataFolders();

// Returns the first folder's file of that name that exists as a regular file, or an empty path.
std::filesystem::path FindShippedFile(std::string_view name,
                                      const std::vector<std::filesystem::path>& folders);

}  // namespace quarrow
