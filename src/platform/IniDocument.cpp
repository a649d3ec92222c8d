#include "platform/IniDocument.h"

namespace platform {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

QByteArrayView trimmed(QByteArrayView text) {
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    return text;
}

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(QByteArrayView a, QByteArrayView b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    return true;
}

struct LineMeaning {
    enum class Kind { Other, Header, Key } kind = Kind::Other;
    QByteArrayView name;
};

LineMeaning meaningOf(const QByteArray& text) {
    const QByteArrayView content = trimmed(text);
    if (content.startsWith('[')) {
        const qsizetype close = content.indexOf(']');
        if (close < 0)
            return {};
        return {LineMeaning::Kind::Header, trimmed(content.sliced(1, close - 1))};
    }
    if (content.startsWith(';') || content.startsWith('#'))
        return {};
    const qsizetype equals = text.indexOf('=');
    const QByteArrayView key =
        equals < 0 ? QByteArrayView() : trimmed(QByteArrayView(text).first(equals));
    if (key.isEmpty())
        return {};
    return {LineMeaning::Kind::Key, key};
}

// Where a key lies, or where it would go: after the last key of the section's
// first occurrence, or after its header. Lines before any header form the
// section without a name, which always exists and starts before line 0.
struct Place {
    std::optional<std::size_t> keyLine;
    std::optional<std::ptrdiff_t> insertAfter;
};

Place find(const IniDocument& document, QByteArrayView section, QByteArrayView key) {
    Place place;
    bool inSection = sameName(section, "");
    bool inFirstOccurrence = inSection;
    if (inSection)
        place.insertAfter = -1;
    for (std::size_t i = 0; i < document.size(); ++i) {
        const LineMeaning line = meaningOf(document[i].text);
        if (line.kind == LineMeaning::Kind::Header) {
            inSection = sameName(line.name, section);
            inFirstOccurrence = inSection && !place.insertAfter;
            if (inFirstOccurrence)
                place.insertAfter = static_cast<std::ptrdiff_t>(i);
        } else if (line.kind == LineMeaning::Kind::Key && inSection) {
            if (sameName(line.name, key)) {
                place.keyLine = i;
                return place;
            }
            if (inFirstOccurrence)
                place.insertAfter = static_cast<std::ptrdiff_t>(i);
        }
    }
    return place;
}

QByteArray lineEndingOf(const IniDocument& document) {
    for (const IniLine& line : document)
        if (!line.ending.isEmpty())
            return line.ending;
    return QByteArrayLiteral("\n");
}

// A line added after the last line takes over its missing final line break.
void insertAfter(IniDocument& document, std::ptrdiff_t at, QByteArray text) {
    IniLine line{std::move(text), lineEndingOf(document)};
    if (at >= 0 && document[at].ending.isEmpty()) {
        std::swap(document[at].ending, line.ending);
        // After a last line that ends in "\r", a "\n" alone would swallow that "\r".
        if (document[at].text.endsWith('\r'))
            document[at].ending = QByteArrayLiteral("\r\n");
    }
    document.insert(document.begin() + (at + 1), std::move(line));
}

} // namespace

IniDocument parseIni(const QByteArray& bytes) {
    IniDocument document;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype newline = bytes.indexOf('\n', start);
        if (newline < 0) {
            document.push_back({bytes.sliced(start), {}});
            break;
        }
        const bool crlf = newline > start && bytes[newline - 1] == '\r';
        const qsizetype end = crlf ? newline - 1 : newline;
        document.push_back({bytes.sliced(start, end - start),
                            crlf ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n")});
        start = newline + 1;
    }
    return document;
}

QByteArray serialiseIni(const IniDocument& document) {
    QByteArray bytes;
    for (const IniLine& line : document)
        bytes += line.text + line.ending;
    return bytes;
}

std::optional<QByteArray> iniValue(const IniDocument& document, QByteArrayView section,
                                   QByteArrayView key) {
    const Place place = find(document, section, key);
    if (!place.keyLine)
        return std::nullopt;
    const QByteArray& text = document[*place.keyLine].text;
    return text.sliced(text.indexOf('=') + 1);
}

void setIniValue(IniDocument& document, QByteArrayView section, QByteArrayView key,
                 const QByteArray& value) {
    const Place place = find(document, section, key);
    if (place.keyLine) {
        QByteArray& text = document[*place.keyLine].text;
        text = text.first(text.indexOf('=') + 1) + value;
        return;
    }
    std::ptrdiff_t at = 0;
    if (place.insertAfter) {
        at = *place.insertAfter;
    } else {
        at = static_cast<std::ptrdiff_t>(document.size());
        insertAfter(document, at - 1, '[' + section.toByteArray() + ']');
    }
    insertAfter(document, at, key.toByteArray() + '=' + value);
}

} // namespace platform
