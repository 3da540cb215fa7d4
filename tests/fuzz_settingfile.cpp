// Arbitrary bytes as the setting file, and as a folder to store in it.

#include "folder/settingfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QTemporaryDir program;
    static const bool laidOut = QDir().mkpath(program.filePath("configs/path"));
    QFile file(settingfile::path(program.path()));
    if (!laidOut || !file.open(QIODevice::WriteOnly) ||
        file.write(reinterpret_cast<const char *>(data), size) != qint64(size) || !file.flush())
        std::abort();
    // Any file reads whole and without its line ends, far shorter as it is than one the reader
    // gives up on; any folder is stored so that it reads back the same, or not at all.
    const settingfile::StoredFolder read = settingfile::read(program.path());
    QString folder(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(folder.data(), data, size / 2 * 2);
    const QString stored = settingfile::write(program.path(), folder) ? folder : read.text;
    if (read.state != settingfile::StoredFolder::Complete || read.text.contains(QChar('\n')) ||
        read.text.contains(QChar('\r')) || settingfile::read(program.path()).text != stored)
        std::abort();
    return 0;
}
