#include "keyvalues.h"

namespace keyvalues {

namespace {

// Steam's files nest four deep; recursion stays shallow whatever a file holds.
constexpr int deepest = 32;

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

class Reader
{
public:
    explicit Reader(QByteArrayView text) : text(text) {}

    // Reads entries into `block` up to its closing brace or the end of the text.
    void readBlock(Node &block, int depth)
    {
        QString key, value;
        Token token;
        while ((token = next(key)) == String) {
            token = next(value);
            if (token == String) {
                block.children.push_back({key, value, false, {}});
            } else if (token == Open && depth < deepest) {
                Node child{key, {}, true, {}};
                readBlock(child, depth + 1);
                block.children.push_back(std::move(child));
            } else {
                // A key without a value, or too deep: nothing after it can be trusted.
                at = text.size();
            }
        }
        // A block without a key: what follows would be taken for the outer block's.
        if (token == Open)
            at = text.size();
    }

private:
    enum Token { End, Open, Close, String };

    Token next(QString &string)
    {
        for (;;) {
            while (at < text.size() && isSpace(text[at]))
                ++at;
            if (at >= text.size())
                return End;
            if (text.sliced(at).startsWith("//")) {
                while (at < text.size() && text[at] != '\n')
                    ++at;
                continue;
            }
            const char c = text[at];
            if (c == '{' || c == '}') {
                ++at;
                return c == '{' ? Open : Close;
            }
            if (c == '"' && !closed())
                return End; // half a string is no value
            QByteArray bytes = c == '"' ? quoted() : bare();
            // A condition such as [$WIN32] after a value; Steam's own files have none.
            if (c != '"' && bytes.startsWith('['))
                continue;
            string = QString::fromUtf8(bytes);
            return String;
        }
    }

    // Whether the string that starts here has its closing quote.
    bool closed() const
    {
        for (qsizetype i = at + 1; i < text.size(); ++i) {
            if (text[i] == '"')
                return true;
            if (text[i] == '\\')
                ++i;
        }
        return false;
    }

    QByteArray quoted()
    {
        QByteArray bytes;
        for (++at; at < text.size() && text[at] != '"'; ++at) {
            char c = text[at];
            if (c == '\\' && at + 1 < text.size()) {
                const char escaped = text[++at];
                c = escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped;
                if (c == escaped && c != '\\' && c != '"')
                    bytes += '\\';
            }
            bytes += c;
        }
        ++at; // the closing quote; past the end if there is none
        return bytes;
    }

    QByteArray bare()
    {
        const qsizetype start = at;
        while (at < text.size() && !isSpace(text[at]) && text[at] != '"' && text[at] != '{' &&
               text[at] != '}')
            ++at;
        return text.sliced(start, at - start).toByteArray();
    }

    QByteArrayView text;
    qsizetype at = 0;
};

} // namespace

const Node *Node::child(QStringView name) const
{
    for (const Node &entry : children) {
        if (entry.key.compare(name, Qt::CaseInsensitive) == 0)
            return &entry;
    }
    return nullptr;
}

QString Node::text(std::initializer_list<QStringView> keys) const
{
    const Node *node = this;
    for (const QStringView key : keys) {
        node = node->child(key);
        if (!node)
            return {};
    }
    return node->block ? QString() : node->value;
}

Node parse(QByteArrayView text)
{
    Node root{{}, {}, true, {}};
    Reader(text).readBlock(root, 0);
    return root;
}

} // namespace keyvalues
