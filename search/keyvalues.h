#pragma once

#include <QByteArrayView>
#include <QString>

#include <vector>

// A reader of Valve's KeyValues text, the format of Steam's libraryfolders.vdf and of its
// app manifests: "key" "value" pairs and "key" { ... } blocks, with // comments.
namespace keyvalues {

struct Node
{
    QString key;
    QString value; // a pair's value
    bool block = false;
    std::vector<Node> children; // a block's entries, in file order

    // The first entry named `key`, whatever its case, as Steam looks keys up; none if none.
    const Node *child(QStringView key) const;
    // The value of the pair reached through `keys`, one per level; empty if there is none.
    QString text(std::initializer_list<QStringView> keys) const;
};

// The entries of `text`, as a block without a key. Whatever the text holds, the read ends: what
// cannot be read (a cut, an unclosed string, a block without a key, nesting far deeper than
// Steam's) ends it there, keeping what came before; half a string is no value. Strings are UTF-8
// with \\, \" , \n and \t escaped.
Node parse(QByteArrayView text);

} // namespace keyvalues
