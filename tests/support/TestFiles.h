#pragma once
// Small file helpers for tests.
#include <QByteArray>
#include <QString>

// Writes bytes to path, creating its folder; returns false when it could not.
bool WriteTestFile(const QString& path, const QByteArray& bytes);
// The bytes of path, or "<missing>" when it cannot be read.
QByteArray ReadTestFile(const QString& path);
