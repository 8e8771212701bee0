#pragma once
// Resources compiled into the program, found by type and name as the program
// names them ("CUSTOM"/"DB", "CUSTOM"/"MPLAYER"). They live in the Qt resource
// system under ":/<TYPE>/<NAME>".
#include <QByteArray>
#include <QString>

// The resource's bytes; a name that does not exist raises error 326.
QByteArray LoadResData(const QString& name, const QString& type);
bool ResourceExists(const QString& name, const QString& type);
QString ResourcePath(const QString& name, const QString& type);
