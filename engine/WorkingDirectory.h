#pragma once
#include <filesystem>
#include <string>

namespace Orvane {

// The working directory followed by one path separator, asked anew at every call.
std::string GetCurrentDir();

// The "output" folder of the working directory, where sounds are exported and banks made from.
std::filesystem::path OutputFolder();

}  // namespace Orvane
