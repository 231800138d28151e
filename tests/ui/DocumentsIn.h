// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The user's documents folder moved into a test's own.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace vp7::test {

// The user's documents, where the station keeps its lessons, in the test's folder: Qt finds them in
// the user's folder list of the configuration folder.
struct DocumentsIn {
    QString documents;
    explicit DocumentsIn(const QTemporaryDir& dir) : documents(dir.filePath(QStringLiteral("Documents"))) {
        const QString config = dir.filePath(QStringLiteral("config"));
        QDir().mkpath(config);
        QFile list(config + QStringLiteral("/user-dirs.dirs"));
        if (list.open(QIODevice::WriteOnly))
            list.write("XDG_DOCUMENTS_DIR=\"" + QFile::encodeName(documents) + "\"\n");
        list.close();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    }
    ~DocumentsIn() { qunsetenv("XDG_CONFIG_HOME"); }
};

} // namespace vp7::test
