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
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    verticalScrollBar()->setSingleStep(1);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, viewport(),
            qOverload<>(&QWidget::update));
}

void LogView::appendLine(std::string_view line) {
    // Hidden (the service page mostly is), the log only stores the line: a range change of a
    // scroll area costs it a posted relayout, many times the line itself. showEvent catches up.
    if (!isVisible()) {
        lines_.append(line);
        return;
    }
    const bool follow = following();
    lines_.append(line);
    takeInNewLines(follow);
}

void LogView::takeInNewLines(bool follow) {
    updateScrollRange();
    if (follow) {
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    }
    viewport()->update();
}

void LogView::showEvent(QShowEvent* event) {
    QAbstractScrollArea::showEvent(event);
    takeInNewLines(following());
}

void LogView::appendLine(const QString& line) {
    appendLine(line.toUtf8().toStdString());
}

QString LogView::line(std::size_t index) const {
    const std::string_view text = lines_.line(index);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void LogView::measureFont() const {
    // Measured when first needed: the log usually sits on a hidden page, and loading a font
    // costs start-up time.
    if (charWidth_ == 0) {
        const QFontMetrics metrics(font());
        charWidth_ = std::max(1, metrics.horizontalAdvance(QLatin1Char('0')));
        lineHeight_ = std::max(1, metrics.lineSpacing());
    }
}

void LogView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        charWidth_ = 0;
    }
    QAbstractScrollArea::changeEvent(event);
}

int LogView::charsPerRow() const {
    return std::max(1, (viewport()->width() - 2 * kMargin) / charWidth());
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
    verticalScrollBar()->setPageStep(std::max(1, viewport()->height() / lineHeight()));
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
            const int h = rowsOf(i) * lineHeight();
            visible_.push_back({i, bottom - h, h});
            bottom -= h;
        }
        std::reverse(visible_.begin(), visible_.end());
    } else {
        int top = 0;
        for (std::size_t i = first; i < lines_.size() && top < height; ++i) {
            const int h = rowsOf(i) * lineHeight();
            visible_.push_back({i, top, h});
            top += h;
        }
    }

    const Position selLow = std::min(anchor_, cursor_);
    const Position selHigh = std::max(anchor_, cursor_);
    const bool selection = hasSelection();
    const int perRow = charsPerRow();
    const QFontMetrics metrics(font());
    const QColor text = palette().color(QPalette::Text);
    const QColor highlightedText = palette().color(QPalette::HighlightedText);
    const QBrush highlight = palette().brush(QPalette::Highlight);
    for (const VisibleLine& v : visible_) {
        const QString content = line(v.index);
        const auto index = static_cast<std::ptrdiff_t>(v.index);
        // The selected columns of this line, [from, to).
        int from = 0;
        int to = 0;
        if (selection && index >= selLow.line && index <= selHigh.line) {
            from = index == selLow.line ? selLow.column : 0;
            to = index == selHigh.line ? selHigh.column : static_cast<int>(content.size()) + 1;
        }
        for (int row = 0; row * perRow < std::max<qsizetype>(1, content.size()); ++row) {
            const int rowStart = row * perRow;
            const int y = v.top + row * lineHeight();
            const QString part = content.mid(rowStart, perRow);
            painter.setPen(text);
            painter.drawText(kMargin, y + metrics.ascent(), part);
            const int selFrom = std::max(from, rowStart);
            const int selTo = std::min(to, rowStart + perRow);
            if (selFrom < selTo) {
                const QRect band(kMargin + (selFrom - rowStart) * charWidth(), y,
                                 (selTo - selFrom) * charWidth(), lineHeight());
                painter.fillRect(band, highlight);
                painter.setPen(highlightedText);
                painter.drawText(band.left(), y + metrics.ascent(),
                                 content.mid(selFrom, selTo - selFrom));
            }
        }
    }
}

LogView::Position LogView::positionAt(QPoint point) const {
    if (visible_.empty()) {
        return {};
    }
    const VisibleLine* hit = &visible_.back();
    if (point.y() < visible_.front().top) {
        return {static_cast<std::ptrdiff_t>(visible_.front().index), 0};
    }
    for (const VisibleLine& v : visible_) {
        if (point.y() < v.top + v.height) {
            hit = &v;
            break;
        }
    }
    const int length = static_cast<int>(line(hit->index).size());
    const int perRow = charsPerRow();
    const int row = std::clamp((point.y() - hit->top) / lineHeight(), 0, rowsOf(hit->index) - 1);
    // The nearer gap between two characters.
    const int inRow = std::clamp((point.x() - kMargin + charWidth() / 2) / charWidth(), 0, perRow);
    return {static_cast<std::ptrdiff_t>(hit->index), std::min(row * perRow + inRow, length)};
}

QRect LogView::characterRect(std::size_t index, int column) const {
    const int perRow = charsPerRow();
    for (const VisibleLine& v : visible_) {
        if (v.index == index) {
            return {kMargin + (column % perRow) * charWidth(),
                    v.top + (column / perRow) * lineHeight(), charWidth(), lineHeight()};
        }
    }
    return {};
}

void LogView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    anchor_ = cursor_ = positionAt(event->position().toPoint());
    viewport()->update();
    event->accept();
}

void LogView::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton) || anchor_.line < 0) {
        QAbstractScrollArea::mouseMoveEvent(event);
        return;
    }
    cursor_ = positionAt(event->position().toPoint());
    viewport()->update();
    event->accept();
}

void LogView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        event->accept();
    } else {
        QAbstractScrollArea::mouseReleaseEvent(event);
    }
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
        anchor_ = {0, 0};
        const std::size_t last = lines_.size() - 1;
        cursor_ = {static_cast<std::ptrdiff_t>(last), static_cast<int>(line(last).size())};
        viewport()->update();
    }
}

QString LogView::selectedText() const {
    if (!hasSelection()) {
        return {};
    }
    const Position low = std::min(anchor_, cursor_);
    const Position high = std::max(anchor_, cursor_);
    QString text;
    for (auto i = low.line; i <= high.line; ++i) {
        const QString content = line(static_cast<std::size_t>(i));
        const int from = i == low.line ? low.column : 0;
        const int to = i == high.line ? high.column : static_cast<int>(content.size());
        text += content.mid(from, to - from);
        if (i != high.line) {
            text += QLatin1Char('\n');
        }
    }
    return text;
}

void LogView::copy() const {
    const QString text = selectedText();
    if (!text.isEmpty()) {
        QApplication::clipboard()->setText(text);
    }
}

} // namespace zr::ui
