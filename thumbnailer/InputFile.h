#pragma once

#include <QFile>
#include <QString>

namespace drovana {

// Opens the picture at `path` into `file`, named so that Qt can still guess
// its format from the suffix; returns why it cannot be read, or nothing.
QString OpenInputFile(const QString& path, QFile& file);

}  // namespace drovana
