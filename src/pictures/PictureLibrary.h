#pragma once

#include "pictures/Picture.h"

#include <QString>
#include <vector>

namespace pictures {

// The numbered pictures that are dealt onto the board, all in memory from
// start-up to the end of the process. A picture's number is its index.
class PictureLibrary {
  public:
    // Loads every library picture; pictures already loaded stay as they are.
    void load();
    bool isLoaded() const { return !m_pictures.empty(); }

    // Picture n of the library, or a null picture when n is out of range.
    Picture imgMain(int n) const;
    // The number of pictures in the library.
    int count() const { return static_cast<int>(m_pictures.size()); }
    // The short name of picture n ("grinning face"), said in place of the
    // picture to a screen reader; empty when n is out of range.
    QString name(int n) const;
    // The number of the library picture that is this very object, or -1.
    int numberOf(const Picture& picture) const;

  private:
    std::vector<Picture> m_pictures;
    std::vector<QString> m_names;
};

// The hidden store of the library pictures.
extern PictureLibrary frmImg;

// A new picture object with the cover image. The window's cover sample owns the
// one cover picture object; every other caller gets an object of its own.
Picture loadCoverPicture();

} // namespace pictures
