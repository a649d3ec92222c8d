// libFuzzer target for the settings file and the numeric value of a text: any
// bytes are read as a settings file and as a stored value. Built and run by
// scripts/fuzz, not by the test suite.
#include "game/Numbers.h"
#include "platform/IniDocument.h"
#include "scores/StoredText.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void require(bool holds, const char* property) {
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", property);
        std::abort();
    }
}

QByteArray lower(QByteArrayView name) {
    return name.toByteArray().toLower();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    require(std::isfinite(numericValue(textFromStoredBytes(bytes))), "numeric value is finite");
    require(storedBytesFromText(textFromStoredBytes(bytes)) == bytes, "stored text round trip");

    platform::IniDocument document = platform::parseIni(bytes);
    require(platform::serialiseIni(document) == bytes, "read then write gives the bytes back");

    // The length picks the names, so that lookups often meet the input's own lines.
    static constexpr QByteArrayView kSections[] = {"", "General", "other"};
    static constexpr QByteArrayView kKeys[] = {"HighScore1", "highdate1", "k"};
    const QByteArrayView section = kSections[size % 3];
    const QByteArrayView key = kKeys[size / 3 % 3];
    const QByteArrayView otherKey = kKeys[(size / 3 + 1) % 3];
    const QByteArrayView otherSection = kSections[(size + 1) % 3];
    QByteArray value = bytes.left(40).replace('\n', ' ').replace('\r', ' ');
    const auto unchangedKey = platform::iniValue(document, section, otherKey);
    const auto unchangedSection = platform::iniValue(document, otherSection, key);

    platform::setIniValue(document, section, key, value);
    const platform::IniDocument reread = platform::parseIni(platform::serialiseIni(document));
    require(platform::iniValue(reread, lower(section), lower(key)) == value, "set then get");
    require(platform::iniValue(reread, section, otherKey) == unchangedKey, "other key kept");
    require(platform::iniValue(reread, otherSection, key) == unchangedSection,
            "other section kept");
    return 0;
}
