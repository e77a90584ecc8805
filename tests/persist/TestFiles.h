#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

// Small file helpers for the persistence tests; each returns false (or empty) on failure, with
// the reason in `error` where there is one.
namespace TestFiles {

bool write(const QString &path, const QByteArray &bytes, QString *error = nullptr);
QByteArray read(const QString &path);
// Every name in the directory (hidden ones too) with its bytes; directories as "<dir>".
QMap<QString, QByteArray> snapshot(const QString &dir);
// The names in the directory that start with the save engine's temporary prefix.
QStringList temporaries(const QString &dir);

} // namespace TestFiles
