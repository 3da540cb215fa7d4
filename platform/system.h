#pragma once

#include "platform/platform.h"

// What only the system can answer, defined once per system, behind the stand-ins of platform.h.
namespace platform::system {

QString registryText(const RegistryValue &value);
bool isElevated();
Start startAsAdministrator(const QString &program);

} // namespace platform::system
