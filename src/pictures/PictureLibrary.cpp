#include "pictures/PictureLibrary.h"

#include <QFile>
#include <QString>
#include <algorithm>

// The pictures are compiled into a static library, whose resources must be
// registered by hand.
static void registerPictureResources() {
    Q_INIT_RESOURCE(pictures);
}

namespace pictures {

namespace {

constexpr int kLibrarySize = 80;

Picture loadPicture(const QString& resource) {
    static const bool registered = (registerPictureResources(), true);
    Q_UNUSED(registered);
    return std::make_shared<const QPixmap>(resource);
}

// The names file holds one line per picture: its two-digit number, a blank and
// its name.
std::vector<QString> loadNames(int count) {
    std::vector<QString> names(static_cast<std::size_t>(count));
    QFile file(QStringLiteral(":/pictures/names.txt"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return names;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        bool ok = false;
        const int n = line.section(QLatin1Char(' '), 0, 0).toInt(&ok);
        if (ok && n >= 0 && n < count)
            names[static_cast<std::size_t>(n)] = line.section(QLatin1Char(' '), 1);
    }
    return names;
}

} // namespace

PictureLibrary frmImg;

void PictureLibrary::load() {
    if (isLoaded())
        return;
    m_pictures.reserve(kLibrarySize);
    for (int n = 0; n < kLibrarySize; ++n)
        m_pictures.push_back(
            loadPicture(QStringLiteral(":/pictures/%1.ico").arg(n, 2, 10, QLatin1Char('0'))));
    m_names = loadNames(kLibrarySize);
}

Picture PictureLibrary::imgMain(int n) const {
    if (n < 0 || n >= count())
        return nullptr;
    return m_pictures[static_cast<std::size_t>(n)];
}

QString PictureLibrary::name(int n) const {
    if (n < 0 || n >= static_cast<int>(m_names.size()))
        return {};
    return m_names[static_cast<std::size_t>(n)];
}

int PictureLibrary::numberOf(const Picture& picture) const {
    const auto found = std::find(m_pictures.begin(), m_pictures.end(), picture);
    if (!picture || found == m_pictures.end())
        return -1;
    return static_cast<int>(found - m_pictures.begin());
}

Picture loadCoverPicture() {
    return loadPicture(QStringLiteral(":/pictures/cover.ico"));
}

} // namespace pictures
