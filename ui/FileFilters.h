#pragma once
// The file dialogs' filters: banks, and every audio file an edit can take samples from.
#include <string_view>

#include <QString>
#include <QStringList>

#include "SoundFileName.h"

namespace Orvane {

// "SDT (*.sdt)".
inline QString BankFilter() {
  return QStringLiteral("SDT (*%1)").arg(QString::fromLatin1(kBankExtension.data(),
                                                              kBankExtension.size()));
}

// "Audio files (*.wav *.flac ...)", then every file.
inline QString AudioFilter() {
  QStringList patterns;
  for (const std::string_view extension : AudioFileExtensions())
    patterns << QStringLiteral("*") + QString::fromLatin1(extension.data(), extension.size());
  return QStringLiteral("Audio files (%1);;All files (*)").arg(patterns.join(u' '));
}

}  // namespace Orvane
