#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Reads at most `limit` bytes of the file a technician picked in a file dialog. Anything that
// is not a regular file (a named pipe, a device, a directory) is refused before it is read:
// a pipe without a writer or an endless device would otherwise hold the window forever.
// Returns nothing when the path is refused or cannot be opened or read, and then says why in
// reason, if given, as a sentence.
std::optional<QByteArray> readRegularFile(const QString& path, qint64 limit,
                                          QString* reason = nullptr);
