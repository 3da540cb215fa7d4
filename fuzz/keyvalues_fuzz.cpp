// Any bytes at all as Steam's listing or manifest, looked up as the game search looks them up.

#include "search/keyvalues.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const keyvalues::Node file = keyvalues::parse(QByteArrayView(data, qsizetype(size)));
    if (const keyvalues::Node *folders = file.child(u"libraryfolders")) {
        for (const keyvalues::Node &library : folders->children)
            (void)library.text({u"path"});
    }
    (void)file.text({u"AppState", u"installdir"});
    return 0;
}
