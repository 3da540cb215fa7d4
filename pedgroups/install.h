#pragma once

#include <QString>

namespace pedgroups {

// Replaces `target` with the exact bytes of `preset`. Afterwards `target` holds either its
// previous content or the preset's, never a mix, and no temporary file is left behind.
// An existing target keeps its permissions; a symbolic link keeps pointing where it did.
bool installPreset(const QString &preset, const QString &target);

} // namespace pedgroups
