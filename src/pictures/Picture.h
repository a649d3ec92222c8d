#pragma once

#include <QPixmap>
#include <memory>

namespace pictures {

// A picture is a shared object with an identity: two boxes show "the same
// picture" only when they hold the same object, whatever the pixels look like.
using Picture = std::shared_ptr<const QPixmap>;

} // namespace pictures
