#include "datafolder.h"

#include "platform/platform.h"

#include <QFile>

namespace datafolder {

std::optional<QString> check(const QString &typed)
{
    const QString folder = typed + platform::separator();
    QFile gameFile(platform::gameFile(folder));
    if (!platform::openRegularFile(gameFile))
        return std::nullopt;
    return folder;
}

} // namespace datafolder
