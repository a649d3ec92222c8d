#include "game/Numbers.h"

#include <cmath>
#include <string>

double numericValue(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    // Collect the longest prefix that forms a number: sign, digits, one point,
    // then an exponent only when digits follow it.
    std::string number;
    auto isDigit = [&](qsizetype at) {
        return at < text.size() && text[at] >= u'0' && text[at] <= u'9';
    };
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        number += static_cast<char>(text[i++].unicode());
    bool digits = false;
    while (isDigit(i)) {
        number += static_cast<char>(text[i++].unicode());
        digits = true;
    }
    if (i < text.size() && text[i] == u'.') {
        number += '.';
        ++i;
        while (isDigit(i)) {
            number += static_cast<char>(text[i++].unicode());
            digits = true;
        }
    }
    if (!digits)
        return 0.0;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == u'-' || text[j] == u'+'))
            exponent += static_cast<char>(text[j++].unicode());
        if (isDigit(j)) {
            while (isDigit(j))
                exponent += static_cast<char>(text[j++].unicode());
            number += exponent;
        }
    }
    // QString's conversion reads the point whatever the user's locale is.
    const double value = QString::fromStdString(number).toDouble();
    return std::isfinite(value) ? value : 0.0;
}

std::optional<std::int16_t> toInt16(double value) {
    const double rounded = std::nearbyint(value);
    if (!(rounded >= -32768.0 && rounded <= 32767.0))
        return std::nullopt;
    return static_cast<std::int16_t>(rounded);
}

std::optional<std::int16_t> scoreAfterSecondReveal(double score) {
    const double lowered = score - 10.0;
    if (lowered < -32768.0)
        return std::int16_t{-32768};
    return toInt16(lowered);
}

std::int16_t levelFromCaption(const QString& caption) {
    return toInt16(numericValue(caption.mid(6, 1))).value_or(0);
}
