#include "ui/Icons.h"

#include <QApplication>
#include <QProxyStyle>
#include <QStyle>
#include <gtest/gtest.h>

using zr::ui::IconKind;

namespace {
QImage picture(const QIcon& icon, int size, QIcon::State state = QIcon::Off) {
    return icon.pixmap(QSize(size, size), QIcon::Normal, state).toImage();
}
} // namespace

TEST(Icons, IconsMadeWhenFirstDrawnLookAsTheStyleDrawsThem) {
    // The application style hands out its icons unmade; drawn, they are the base style's own.
    auto* proxy = qobject_cast<QProxyStyle*>(QApplication::style());
    ASSERT_NE(proxy, nullptr);
    QStyle* base = proxy->baseStyle();
    const std::pair<IconKind, QStyle::StandardPixmap> kinds[] = {
        {IconKind::DeleteAll, QStyle::SP_TrashIcon},
        {IconKind::Save, QStyle::SP_DialogSaveButton},
        {IconKind::Refresh, QStyle::SP_BrowserReload},
    };
    for (const auto& [kind, standard] : kinds) {
        const QIcon icon = zr::ui::icon(kind);
        EXPECT_FALSE(icon.isNull());
        for (int size : {16, 32}) {
            EXPECT_EQ(picture(icon, size), picture(base->standardIcon(standard), size))
                << static_cast<int>(kind) << " at " << size;
        }
    }
    const QIcon viaStyle = QApplication::style()->standardIcon(QStyle::SP_TrashIcon);
    EXPECT_FALSE(viaStyle.isNull());
    EXPECT_EQ(picture(viaStyle, 16), picture(base->standardIcon(QStyle::SP_TrashIcon), 16));
}

TEST(Icons, TheProgramIconIsPaintedAtTheSizeAskedFor) {
    const QIcon program = zr::ui::icon(IconKind::Program);
    for (int size : {16, 48, 256}) {
        EXPECT_EQ(picture(program, size), zr::ui::programPixmap(size).toImage()) << size;
    }
    EXPECT_FALSE(program.availableSizes().isEmpty());
}
