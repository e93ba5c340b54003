#include "ui/LogView.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace zr::ui {

namespace {
constexpr int kMargin = 3;
}

LogView::LogView(QWidget* parent) : QAbstractScrollArea(parent) {
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPixelSize(12);
    setFont(fixed);
    const QFontMetrics metrics(fixed);
    charWidth_ = std::max(1, metrics.horizontalAdvance(QLatin1Char('0')));
    lineHeight_ = std::max(1, metrics.lineSpacing());
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    verticalScrollBar()->setSingleStep(1);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, viewport(),
            qOverload<>(&QWidget::update));
}

void LogView::appendLine(std::string_view line) {
    const bool follow = following();
    lines_.append(line);
    updateScrollRange();
    if (follow) {
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    }
    viewport()->update();
}

void LogView::appendLine(const QString& line) {
    appendLine(line.toUtf8().toStdString());
}

QString LogView::line(std::size_t index) const {
    const std::string_view text = lines_.line(index);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

int LogView::charsPerRow() const {
    return std::max(1, (viewport()->width() - 2 * kMargin) / charWidth_);
}

int LogView::rowsOf(std::size_t index) const {
    const auto length = static_cast<int>(lines_.line(index).size());
    const int perRow = charsPerRow();
    return std::max(1, (length + perRow - 1) / perRow);
}

bool LogView::following() const {
    return verticalScrollBar()->value() >= verticalScrollBar()->maximum();
}

void LogView::updateScrollRange() {
    // One scroll step per line; the last position shows the end of the log.
    const int last = lines_.empty() ? 0 : static_cast<int>(lines_.size() - 1);
    verticalScrollBar()->setRange(0, last);
    verticalScrollBar()->setPageStep(std::max(1, viewport()->height() / lineHeight_));
}

void LogView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRange();
}

void LogView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    visible_.clear();
    if (lines_.empty()) {
        return;
    }
    const int height = viewport()->height();
    const auto first = static_cast<std::size_t>(verticalScrollBar()->value());
    if (following()) {
        // Fill the view from the bottom up so that the newest line sits at the bottom.
        int bottom = height;
        for (std::size_t i = lines_.size(); i-- > 0 && bottom > 0;) {
            const int h = rowsOf(i) * lineHeight_;
            visible_.push_back({i, bottom - h, h});
            bottom -= h;
        }
        std::reverse(visible_.begin(), visible_.end());
    } else {
        int top = 0;
        for (std::size_t i = first; i < lines_.size() && top < height; ++i) {
            const int h = rowsOf(i) * lineHeight_;
            visible_.push_back({i, top, h});
            top += h;
        }
    }

    const auto selLow = std::min(anchor_, cursor_);
    const auto selHigh = std::max(anchor_, cursor_);
    const int perRow = charsPerRow();
    const QFontMetrics metrics(font());
    for (const VisibleLine& v : visible_) {
        const bool selected = anchor_ >= 0 && static_cast<std::ptrdiff_t>(v.index) >= selLow &&
                              static_cast<std::ptrdiff_t>(v.index) <= selHigh;
        if (selected) {
            painter.fillRect(QRect(0, v.top, viewport()->width(), v.height),
                             palette().brush(QPalette::Highlight));
            painter.setPen(palette().color(QPalette::HighlightedText));
        } else {
            painter.setPen(palette().color(QPalette::Text));
        }
        const QString text = line(v.index);
        for (int row = 0; row * perRow < std::max<qsizetype>(1, text.size()); ++row) {
            painter.drawText(kMargin, v.top + row * lineHeight_ + metrics.ascent(),
                             text.mid(row * perRow, perRow));
        }
    }
}

std::size_t LogView::lineAt(int y) const {
    for (const VisibleLine& v : visible_) {
        if (y < v.top + v.height) {
            return v.index;
        }
    }
    return visible_.empty() ? 0 : visible_.back().index;
}

void LogView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && !lines_.empty()) {
        anchor_ = cursor_ = static_cast<std::ptrdiff_t>(lineAt(event->position().toPoint().y()));
        viewport()->update();
    }
    QAbstractScrollArea::mousePressEvent(event);
}

void LogView::mouseMoveEvent(QMouseEvent* event) {
    if ((event->buttons() & Qt::LeftButton) && anchor_ >= 0) {
        cursor_ = static_cast<std::ptrdiff_t>(lineAt(event->position().toPoint().y()));
        viewport()->update();
    }
    QAbstractScrollArea::mouseMoveEvent(event);
}

void LogView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        copy();
    } else if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
    } else {
        QAbstractScrollArea::keyPressEvent(event);
    }
}

void LogView::selectAll() {
    if (!lines_.empty()) {
        anchor_ = 0;
        cursor_ = static_cast<std::ptrdiff_t>(lines_.size() - 1);
        viewport()->update();
    }
}

QString LogView::selectedText() const {
    if (anchor_ < 0) {
        return {};
    }
    QStringList selected;
    for (auto i = std::min(anchor_, cursor_); i <= std::max(anchor_, cursor_); ++i) {
        selected << line(static_cast<std::size_t>(i));
    }
    return selected.join(QLatin1Char('\n'));
}

void LogView::copy() const {
    const QString text = selectedText();
    if (!text.isEmpty()) {
        QApplication::clipboard()->setText(text);
    }
}

} // namespace zr::ui
