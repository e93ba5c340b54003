#include "ui/Icons.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPointer>
#include <QProxyStyle>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>
#include <functional>
#include <map>
#include <optional>

namespace zr::ui {

// A meter dial with a needle, drawn so that the program needs no image files.
QPixmap programPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    p.setPen(QPen(QColor(30, 60, 110), s * 0.06));
    p.setBrush(QColor(235, 242, 250));
    p.drawRoundedRect(QRectF(s * 0.06, s * 0.06, s * 0.88, s * 0.88), s * 0.16, s * 0.16);
    QPainterPath arc;
    arc.arcMoveTo(QRectF(s * 0.18, s * 0.26, s * 0.64, s * 0.64), 160);
    arc.arcTo(QRectF(s * 0.18, s * 0.26, s * 0.64, s * 0.64), 160, -140);
    p.setPen(QPen(QColor(40, 140, 60), s * 0.08, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arc);
    p.setPen(QPen(QColor(200, 30, 30), s * 0.07, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(s * 0.5, s * 0.58), QPointF(s * 0.7, s * 0.34));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 60, 110));
    p.drawEllipse(QPointF(s * 0.5, s * 0.58), s * 0.06, s * 0.06);
    return pixmap;
}

namespace {

// Icons are made when first drawn, not when the controls that carry them are built: most of
// them sit in menus that may never open, and the style decodes every size of an icon file at
// once. Start-up then costs no icon work beyond what the first paint shows.
class DeferredIconEngine : public QIconEngine {
public:
    explicit DeferredIconEngine(std::function<QIcon()> make) : make_(std::move(make)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        made().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return made().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        return made().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return made_ ? made_->actualSize(size, mode, state) : size;
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return made().availableSizes(mode, state);
    }
    // Only icons that exist are deferred; asking must not make them.
    bool isNull() override { return made_ ? made_->isNull() : false; }
    QIconEngine* clone() const override { return new DeferredIconEngine(*this); }
    QString key() const override { return QStringLiteral("zr-deferred"); }

private:
    const QIcon& made() {
        if (!made_) {
            made_ = make_();
        }
        return *made_;
    }

    std::function<QIcon()> make_;
    std::optional<QIcon> made_;
};

QIcon deferred(std::function<QIcon()> make) {
    return QIcon(new DeferredIconEngine(std::move(make)));
}

// The application's style with every standard icon made when first drawn, also the ones that
// Qt's own widgets ask for while they are built (a tool bar's extension button, for one).
class DeferredIconStyle : public QProxyStyle {
public:
    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option,
                       const QWidget* widget) const override {
        if (option) {
            return QProxyStyle::standardIcon(icon, option, widget);
        }
        const QPointer<QStyle> base(baseStyle());
        const QPointer<QWidget> asking(const_cast<QWidget*>(widget));
        return deferred([base, asking, icon] {
            QStyle* style = base.data();
            return style != nullptr ? style->standardIcon(icon, nullptr, asking.data()) : QIcon();
        });
    }
};

// The program icon painted at exactly the size asked for.
class ProgramIconEngine : public QIconEngine {
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        painter->drawPixmap(rect, pixmapOfSize(std::min(rect.width(), rect.height())));
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
        return pixmapOfSize(std::min(size.width(), size.height()));
    }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = std::min(size.width(), size.height());
        return {side, side};
    }
    // The sizes a desktop is offered for the window icon.
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        return {{16, 16}, {24, 24}, {32, 32}, {48, 48}, {64, 64}};
    }
    QIconEngine* clone() const override { return new ProgramIconEngine(*this); }
    QString key() const override { return QStringLiteral("zr-program"); }

private:
    QPixmap pixmapOfSize(int side) {
        side = std::max(side, 1);
        auto found = painted_.find(side);
        if (found == painted_.end()) {
            found = painted_.emplace(side, programPixmap(side)).first;
        }
        return found->second;
    }

    std::map<int, QPixmap> painted_;
};

// The style's radio indicator, unchecked and checked: a menu shows an item's icon in place of
// its check mark, so a radio item's icon has to carry the mark itself.
QIcon radioIcon() {
    const QStyle* style = QApplication::style();
    const int size = style->pixelMetric(QStyle::PM_SmallIconSize);
    const int indicator = std::min(size, style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth));
    QIcon icon;
    for (const bool on : {false, true}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        QStyleOptionButton option;
        option.rect = QRect((size - indicator) / 2, (size - indicator) / 2, indicator, indicator);
        option.state = QStyle::State_Enabled | (on ? QStyle::State_On : QStyle::State_Off);
        option.palette = QApplication::palette();
        style->drawPrimitive(QStyle::PE_IndicatorRadioButton, &option, &painter);
        painter.end();
        icon.addPixmap(pixmap, QIcon::Normal, on ? QIcon::On : QIcon::Off);
    }
    return icon;
}

QStyle::StandardPixmap standardFor(IconKind kind) {
    switch (kind) {
    case IconKind::Add:
        return QStyle::SP_FileDialogNewFolder;
    case IconKind::DeleteAll:
        return QStyle::SP_TrashIcon;
    case IconKind::MoveToTable:
        return QStyle::SP_ArrowRight;
    case IconKind::Fetch:
        return QStyle::SP_ArrowDown;
    case IconKind::ApplySelected:
        return QStyle::SP_DialogApplyButton;
    case IconKind::Cancel:
        return QStyle::SP_DialogCancelButton;
    case IconKind::Refresh:
        return QStyle::SP_BrowserReload;
    case IconKind::Save:
        return QStyle::SP_DialogSaveButton;
    case IconKind::Print:
        return QStyle::SP_FileDialogDetailedView;
    case IconKind::Exit:
        return QStyle::SP_DialogCloseButton;
    case IconKind::Correction:
        return QStyle::SP_FileDialogContentsView;
    case IconKind::Help:
        return QStyle::SP_DialogHelpButton;
    case IconKind::About:
        return QStyle::SP_MessageBoxInformation;
    case IconKind::WriteValue:
        return QStyle::SP_DialogYesButton;
    case IconKind::DeleteValue:
        return QStyle::SP_DialogDiscardButton;
    case IconKind::History:
        return QStyle::SP_FileDialogListView;
    case IconKind::Program:
    case IconKind::Method:
        break;
    }
    return QStyle::SP_ComputerIcon;
}

} // namespace

void deferStandardIcons() {
    QApplication::setStyle(new DeferredIconStyle);
}

QIcon icon(IconKind kind) {
    if (kind == IconKind::Program) {
        static const QIcon program(new ProgramIconEngine);
        return program;
    }
    if (kind == IconKind::Method) {
        return deferred(radioIcon);
    }
    return deferred([kind] { return QApplication::style()->standardIcon(standardFor(kind)); });
}

} // namespace zr::ui
