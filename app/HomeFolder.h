#pragma once
// The home folder every folder of the program goes under. Without HOME, Qt
// would take the root of the file system as the home and the program would
// make its folders there.
#include <QByteArray>
#include <QString>

// The home: `homeVariable` when it names a folder other than the root, else
// `passwordHome` (the user's entry in the password database) when that names
// an existing folder other than the root; empty when neither does.
QString ChooseHomeFolder(const QByteArray& homeVariable, const QByteArray& passwordHome);

// Sets HOME to the home chosen from HOME and the password database; false,
// with one line said on the standard error, when the user has no home.
bool EnsureHomeFolder();
