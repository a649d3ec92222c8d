// libFuzzer target for the settings file and the numeric value of a text: any
// bytes are read as a settings file and as a stored value. Built and run by
// scripts/fuzz, not by the test suite.
#include "game/Numbers.h"
#include "platform/IniDocument.h"
#include "platform/StoredText.h"

#include <cassert>
#include <cmath>
#include <cstdint>

// Properties are checked with assert (never built with NDEBUG here): a broken one
// aborts, and libFuzzer keeps the input that broke it.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    assert(std::isfinite(numericValue(platform::textFromStoredBytes(bytes))));
    // A stored value comes back from its display text byte for byte.
    assert(platform::storedBytesFromText(platform::textFromStoredBytes(bytes)) == bytes);

    // Read, then write with no change, gives back the input.
    platform::IniDocument document = platform::parseIni(bytes);
    assert(platform::serialiseIni(document) == bytes);

    // Set, write, read, then get (whatever the letter case) gives the value set, and
    // another key keeps its own. The length picks the names, so that lookups often
    // meet the input's own lines.
    static constexpr QByteArrayView kSections[] = {"", "General", "other"};
    static constexpr QByteArrayView kKeys[] = {"HighScore1", "highdate1", "k"};
    const QByteArrayView section = kSections[size % 3];
    const QByteArrayView key = kKeys[size / 3 % 3];
    const QByteArrayView otherKey = kKeys[(size / 3 + 1) % 3];
    const QByteArray value = bytes.left(40).replace('\n', ' ').replace('\r', ' ');
    const auto otherValue = platform::iniValue(document, section, otherKey);
    platform::setIniValue(document, section, key, value);
    document = platform::parseIni(platform::serialiseIni(document));
    assert(platform::iniValue(document, section.toByteArray().toLower(),
                              key.toByteArray().toUpper()) == value);
    assert(platform::iniValue(document, section, otherKey) == otherValue);
    return 0;
}
