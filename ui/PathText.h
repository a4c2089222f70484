#pragma once
// Paths cross between Qt's strings and the engine's std::filesystem::path here, and only here.
#include <filesystem>

#include <QString>

namespace Orvane {

inline std::filesystem::path ToPath(const QString& text) {
  return std::filesystem::path(text.toStdU16String());
}

inline QString ToText(const std::filesystem::path& path) {
  return QString::fromStdU16String(path.u16string());
}

}  // namespace Orvane
