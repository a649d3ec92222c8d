#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>
#include <vector>

namespace platform {

// An INI text kept line by line with every byte as it was, so that a program
// which changes one value writes everything else back untouched: comments,
// blank lines, other sections, unknown keys, the order of lines, their endings,
// a missing final line break, and bytes that are not valid UTF-8.
//
// How lines read: a line whose first non-blank byte is "[" is a section header,
// named by what lies between "[" and the first "]", blanks trimmed; whatever
// follows the "]" (such as "; note") is ignored. A line whose first non-blank
// byte is ";" or "#" is a comment. Any other line with a "=" is a key: the key
// is what precedes the first "=", blanks trimmed; the value is every byte after
// it, blanks included. Section and key names match whatever their letter case
// (ASCII), and where a key occurs twice in a section, the first one counts.
struct IniLine {
    QByteArray text;
    // "\n", "\r\n", or empty for a last line without a line break.
    QByteArray ending;
};
using IniDocument = std::vector<IniLine>;

IniDocument parseIni(const QByteArray& bytes);
QByteArray serialiseIni(const IniDocument& document);

// The value of `key` in `section`, or nothing when the key is absent.
std::optional<QByteArray> iniValue(const IniDocument& document, QByteArrayView section,
                                   QByteArrayView key);

// Changes the value of the key that iniValue() reads, and only its value. A
// missing key is added after the last key of the section, a missing section at
// the end of the text, with the line ending the text uses. Section, key and
// value must hold no line break, and the names no "=", "]" or surrounding blanks.
void setIniValue(IniDocument& document, QByteArrayView section, QByteArrayView key,
                 const QByteArray& value);

} // namespace platform
