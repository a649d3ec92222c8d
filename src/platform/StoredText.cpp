#include "platform/StoredText.h"

#include <optional>

namespace platform {

namespace {

// Bytes in a well-formed UTF-8 sequence that starts with `lead`; 0 for a byte
// that cannot start one.
int sequenceLength(unsigned char lead) {
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

// The code point of a well-formed sequence at the start of `bytes`, or nothing.
// Overlong forms, surrogates and code points above U+10FFFF are not well formed.
std::optional<char32_t> decodeOne(QByteArrayView bytes, int length) {
    static constexpr char32_t kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (length == 0 || bytes.size() < length)
        return std::nullopt;
    char32_t code = static_cast<unsigned char>(bytes[0]) & kLeadBits[length];
    for (int k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(bytes[k]);
        if ((next & 0xC0) != 0x80)
            return std::nullopt;
        code = (code << 6) | (next & 0x3F);
    }
    if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return std::nullopt;
    return code;
}

constexpr char16_t kEscapeBase = 0xDC00;

bool isEscapedByte(char16_t c) {
    return c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF;
}

} // namespace

QString textFromStoredBytes(QByteArrayView bytes) {
    QString text;
    text.reserve(bytes.size());
    while (!bytes.isEmpty()) {
        const auto lead = static_cast<unsigned char>(bytes[0]);
        const int length = sequenceLength(lead);
        if (const std::optional<char32_t> code = decodeOne(bytes, length)) {
            if (QChar::requiresSurrogates(*code)) {
                text += QChar(QChar::highSurrogate(*code));
                text += QChar(QChar::lowSurrogate(*code));
            } else {
                text += QChar(static_cast<char16_t>(*code));
            }
            bytes = bytes.sliced(length);
        } else {
            text += QChar(static_cast<char16_t>(kEscapeBase + lead));
            bytes = bytes.sliced(1);
        }
    }
    return text;
}

QByteArray storedBytesFromText(QStringView text) {
    QByteArray bytes;
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
            QChar::isLowSurrogate(text[i + 1].unicode())) {
            ++i;
        } else if (isEscapedByte(c)) {
            bytes += text.sliced(runStart, i - runStart).toUtf8();
            bytes += static_cast<char>(c - kEscapeBase);
            runStart = i + 1;
        }
    }
    return bytes + text.sliced(runStart).toUtf8();
}

} // namespace platform
