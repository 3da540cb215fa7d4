#pragma once

#include <QString>

#include <optional>

// The check of a data folder typed into the window.
namespace datafolder {

// The folder Save makes the active one for `typed`: the text followed by a separator,
// always, even when it ends in one already, provided the game's pedgrp.dat can be opened
// there. Nothing when it cannot.
std::optional<QString> check(const QString &typed);

} // namespace datafolder
