// Arbitrary bytes as the setting file, as a folder to store, and as the text of the list.

#include "folder/settingfile.h"
#include "pedgroups/catalogue.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <cstring>

static void check(bool condition)
{
    if (!condition)
        std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QTemporaryDir program;
    static const bool laidOut = QDir().mkpath(program.filePath("configs/path"));
    check(laidOut);
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    // Any file reads whole, far shorter as it is than one the reader gives up on.
    QFile file(settingfile::path(program.path()));
    check(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();
    const settingfile::StoredFolder read = settingfile::read(program.path());
    check(read.state == settingfile::StoredFolder::Complete);
    check(!read.text.contains(QLatin1Char('\r')) && !read.text.contains(QLatin1Char('\n')));

    // Any text, lone surrogates included, is either stored so that it reads back the same,
    // or not stored at all.
    QString folder(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(folder.data(), data, size / 2 * 2);
    if (settingfile::write(program.path(), folder))
        check(settingfile::read(program.path()).text == folder);
    else
        check(settingfile::read(program.path()).text == read.text);

    const QString text = QString::fromUtf8(bytes);
    const catalogue::PedGroup &group = catalogue::lookup(text);
    check(catalogue::labels().contains(text) ? text == QLatin1String(group.label)
                                             : &group == &catalogue::pedGroups.front());
    return 0;
}
