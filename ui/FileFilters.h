#pragma once
// The file dialogs' filters (banks, and every audio file an edit can take samples from) and
// where they start.
#include <string_view>

#include <QDir>
#include <QString>
#include <QStringList>

#include "SoundFileName.h"

namespace Orvane {

// Where the file last chosen for a dialog was, or the working directory before any was.
inline QString StartLocation(const QString& remembered) {
  return remembered.isNull() ? QDir::currentPath() : remembered;
}

inline QString BankFilter() { return QStringLiteral("SDT (*.sdt)"); }

// "Audio files (*.wav *.flac ...)", then every file.
inline QString AudioFilter() {
  QStringList patterns;
  for (const std::string_view extension : AudioFileExtensions())
    patterns << QStringLiteral("*") + QString::fromLatin1(extension.data(), extension.size());
  return QStringLiteral("Audio files (%1);;All files (*)").arg(patterns.join(u' '));
}

}  // namespace Orvane
