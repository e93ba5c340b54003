#include "mirror/ServerLinkLoader.h"

#include "mirror/MirrorTexts.h"

#include <QObject>
#include <QPluginLoader>
#include <QTimer>

namespace zr::mirror {

namespace {

class MissingLink final : public ServerLink {
public:
    explicit MissingLink(QString reason) : reason_(std::move(reason)) {}

    void open(const QString&, std::function<void(std::optional<ServerFailure>)> done) override {
        QTimer::singleShot(0, &context_, [done = std::move(done), reason = reason_] {
            done(ServerFailure{ServerFailure::Kind::Unavailable, reason, {}});
        });
    }
    void execute(ServerQuery, std::function<void(ServerResult)> done) override {
        QTimer::singleShot(0, &context_, [done = std::move(done), reason = reason_] {
            done({ServerFailure{ServerFailure::Kind::Unavailable, reason, {}}, {}});
        });
    }
    void setLostHandler(std::function<void(const ServerFailure&)>) override {}
    void close() override {}
    QString describe(const QString&) const override { return {}; }

private:
    QString reason_;
    // Answers die with the link.
    QObject context_;
};

} // namespace

std::unique_ptr<ServerLink> loadServerLink() {
    // The module stays loaded for the rest of the run.
    QPluginLoader module(QString::fromLatin1(kServerLinkModuleName));
    if (auto* factory = qobject_cast<ServerLinkFactory*>(module.instance())) {
        return factory->createLink();
    }
    return std::make_unique<MissingLink>(
        QString::fromUtf8(kModuleMissingReason).arg(module.errorString()));
}

} // namespace zr::mirror
