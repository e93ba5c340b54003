#include "device/connection/MethodNames.h"
#include "support/ProgramHarness.h"
#include "ui/StatusPanels.h"
#include "ui/StringGrid.h"

#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleOption>
#include <gtest/gtest.h>

using zr::test::ProgramHarness;

namespace {

// Width a header section needs to show its text (and icon) whole, with the style's margins.
int neededWidth(QHeaderView* header, int section) {
    return header->sectionSizeHint(section);
}

// Width a label needs for `text`, with its frame and margins.
int neededWidth(QLabel* label, const QString& text) {
    const QString saved = label->text();
    label->setText(text);
    const int width = label->sizeHint().width();
    label->setText(saved);
    return width;
}

class CaptionFit : public ::testing::Test {
protected:
    void SetUp() override {
        h.window().show();
        QApplication::processEvents();
    }
    ProgramHarness h;
};

} // namespace

TEST_F(CaptionFit, GridHeadersFitTheirColumns) {
    const struct {
        const char* grid;
        std::vector<int> widths;
    } grids[] = {
        {"StringGrid1", {40, 120, 40, 40}},
        {"StringGrid2", {40, 100, 60, 60}},
        {"StringGrid3", {42, 67, 68, 114, 114, 43, 107}},
    };
    for (const auto& g : grids) {
        auto* grid = h.find<zr::ui::StringGrid>(QString::fromLatin1(g.grid));
        ASSERT_NE(grid, nullptr) << g.grid;
        for (int c = 0; c < static_cast<int>(g.widths.size()); ++c) {
            EXPECT_LE(neededWidth(grid->horizontalHeader(), c), g.widths[c])
                << g.grid << " column " << c << " \"" << grid->cell(c, 0).toStdString() << "\"";
        }
    }
}

TEST_F(CaptionFit, HeaderButtonsAndGroupTitlesFit) {
    auto* header = h.find<QHeaderView>("HeaderControl1");
    for (int s = 0; s < header->count(); ++s) {
        EXPECT_LE(neededWidth(header, s), header->sectionSize(s)) << "section " << s;
    }
    for (const char* name : {"GroupBox1", "GroupBox2", "GroupBox4"}) {
        auto* box = h.find<QGroupBox>(QString::fromLatin1(name));
        ASSERT_NE(box, nullptr) << name;
        QStyleOptionGroupBox option;
        option.initFrom(box);
        option.text = box->title();
        option.subControls = QStyle::SC_GroupBoxLabel;
        const QRect title = box->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                         QStyle::SC_GroupBoxLabel, box);
        EXPECT_LE(box->fontMetrics().horizontalAdvance(box->title()), title.width()) << name;
        EXPECT_LE(title.right(), box->width()) << name;
    }
}

TEST_F(CaptionFit, StatusPanelTextsFitTheirPanels) {
    auto* status = h.find<zr::ui::StatusPanels>("Status");
    auto* octan = h.find<zr::ui::StatusPanels>("StatusOctan");
    const struct {
        zr::ui::StatusPanels* bar;
        int panel;
        const char* text;
    } texts[] = {
        {status, 0, "Прибор не подключен !"},
        {status, 0, "Идет удаление..."},
        {status, 3, "Частота=65535 Данных=255"},
        {octan, 1, "Коррекция=-3276,8"},
        {octan, 2, "Таблица=255"},
    };
    for (const auto& t : texts) {
        QLabel* panel = t.bar->panel(t.panel);
        EXPECT_LE(neededWidth(panel, QString::fromUtf8(t.text)), panel->width()) << t.text;
    }
}

TEST_F(CaptionFit, MethodNamesServiceLabelAndButtonsFit) {
    QLabel* method = h.find<QLabel>("txtmetod");
    for (int m = 1; m <= 3; ++m) {
        const QString name = zr::connection::methodName(m);
        EXPECT_LE(neededWidth(method, name), method->width()) << m;
        EXPECT_LE(method->fontMetrics().height(), method->height());
    }
    QLabel* placeholderLabel = h.find<QLabel>("Label2");
    EXPECT_LE(neededWidth(placeholderLabel, placeholderLabel->text()), 32);
    for (const char* name : {"Button1", "Button2", "Button3"}) {
        auto* button = h.find<QPushButton>(QString::fromLatin1(name));
        const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
        EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()) + 2 * margin,
                  button->width())
            << name;
    }
}

namespace {
// Records the texts a style is asked to draw.
class RecordingStyle : public QProxyStyle {
public:
    void drawItemText(QPainter* painter, const QRect& rect, int flags, const QPalette& pal,
                      bool enabled, const QString& text,
                      QPalette::ColorRole textRole) const override {
        drawn << text;
        QProxyStyle::drawItemText(painter, rect, flags, pal, enabled, text, textRole);
    }
    mutable QStringList drawn;
};
} // namespace

TEST_F(CaptionFit, ACentredHeaderTooWideForItsColumnKeepsItsBeginning) {
    auto* grid = h.find<zr::ui::StringGrid>("StringGrid1");
    auto* style = new RecordingStyle;
    QHeaderView* header = grid->horizontalHeader();
    header->setStyle(style);
    grid->setColumnWidth(1, 40);
    header->grab();
    const QString shown = [&] {
        for (const QString& text : std::as_const(style->drawn)) {
            if (text.endsWith(QChar(0x2026))) {
                return text;
            }
        }
        return QString();
    }();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("На"))) << shown.toStdString();
    EXPECT_LE(header->fontMetrics().horizontalAdvance(shown), 40);
    header->setStyle(nullptr);
    delete style;
}
