// The server link's module: only a run with a server configured loads it, and with it libpq
// and the libraries libpq pulls in.
#include "mirror/ServerLink.h"
#include "mirror/pq/PqServerLink.h"

#include <QObject>

namespace zr::mirror {
namespace {

class PqModule : public QObject, public ServerLinkFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID ZR_SERVER_LINK_FACTORY_IID)
    Q_INTERFACES(zr::mirror::ServerLinkFactory)

public:
    std::unique_ptr<ServerLink> createLink() override { return std::make_unique<PqServerLink>(); }
};

} // namespace
} // namespace zr::mirror

#include "PqModule.moc"
