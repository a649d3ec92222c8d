#include "pictures/PictureLibrary.h"

#include <QString>

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

} // namespace

PictureLibrary frmImg;

void PictureLibrary::load() {
    if (isLoaded())
        return;
    m_pictures.reserve(kLibrarySize);
    for (int n = 0; n < kLibrarySize; ++n)
        m_pictures.push_back(
            loadPicture(QStringLiteral(":/pictures/%1.ico").arg(n, 2, 10, QLatin1Char('0'))));
}

Picture PictureLibrary::imgMain(int n) const {
    if (n < 0 || n >= count())
        return nullptr;
    return m_pictures[static_cast<std::size_t>(n)];
}

Picture loadCoverPicture() {
    return loadPicture(QStringLiteral(":/pictures/cover.ico"));
}

} // namespace pictures
