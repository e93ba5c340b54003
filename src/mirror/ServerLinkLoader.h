#pragma once

#include "mirror/ServerLink.h"

#include <memory>

namespace zr::mirror {

// The server link from its module (kServerLinkModuleName on the library paths). A module that
// cannot be loaded gives a link whose every connection fails with the reason, once.
std::unique_ptr<ServerLink> loadServerLink();

} // namespace zr::mirror
