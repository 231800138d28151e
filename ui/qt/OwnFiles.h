// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The files the program keeps for itself and those it writes for the user, on a computer that several
// users share: its own lie in a folder no one else can enter, and a file written never leaves less than
// there was (a full disk keeps the old file), nor replaces one of the same name it did not mean to.
#include <QString>
#include <QStringList>

#include <string_view>

class QSaveFile;

namespace vp7 {

// The user's folder for the program's own files (lock, socket, rewind handover): the user's runtime
// folder, else "vp7sim-UID" in the temporary folder, else "~/.cache/vp7sim-HOST", made for the user
// alone. Empty when none is a folder of this user's that no one else may enter.
QString PrivateFolder();

// Ends writing `file`: everything written reached the disk, then the file takes the old one's place.
// Else the old file stays as it was and false.
bool FinishWriting(QSaveFile& file);
// `text` as the whole of the file at `path`, as FinishWriting.
bool WriteWholeFile(const QString& path, std::string_view text);

// Creates new empty files `stem` + each of `suffixes`, else `stem`-2 + them, -3, ...: exclusively, so
// that they never replace a file, not even one created at the same moment; none of `alsoFree` (other
// suffixes of the same stem) may exist either. The stem taken, or empty when none could be created.
QString CreateNumberedFiles(const QString& stem, const QStringList& suffixes,
                            const QStringList& alsoFree = {});

// Why `path` cannot take a recording, or empty: an existing file that is not a regular one (a pipe
// would hold the start until someone reads it), or one that cannot be written. `german` for the text.
QString UnrecordableReason(const QString& path, bool german);

} // namespace vp7
