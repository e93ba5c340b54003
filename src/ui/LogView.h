#pragma once

#include "ui/LineStore.h"

#include <QAbstractScrollArea>
#include <QRect>
#include <QString>
#include <compare>
#include <string_view>
#include <vector>

namespace zr::ui {

// A read-only, append-only log of text lines that stays fast however long it grows: lines are
// kept packed (LineStore) and only the visible ones are laid out and painted. Long lines wrap at
// the view's width. The mouse selects any span of characters, across lines too, Ctrl+A selects
// everything, and Ctrl+C copies exactly the selection. While scrolled to the end, the view
// follows new lines.
class LogView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit LogView(QWidget* parent = nullptr);

    void appendLine(std::string_view line);
    void appendLine(const QString& line);

    std::size_t lineCount() const { return lines_.size(); }
    QString line(std::size_t index) const;
    const LineStore& store() const { return lines_; }

    // The selected characters, lines joined by newlines; empty without a selection.
    QString selectedText() const;
    void selectAll();
    void copy() const;

    // Where the character at `column` of line `index` is drawn, in viewport coordinates; empty
    // when that line is not on screen.
    QRect characterRect(std::size_t index, int column) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    struct VisibleLine {
        std::size_t index;
        int top;
        int height;
    };
    // A place between two characters: before `column` of line `line`.
    struct Position {
        std::ptrdiff_t line = -1;
        int column = 0;
        auto operator<=>(const Position&) const = default;
    };
    void measureFont() const;
    int charWidth() const {
        measureFont();
        return charWidth_;
    }
    int lineHeight() const {
        measureFont();
        return lineHeight_;
    }
    int charsPerRow() const;
    int rowsOf(std::size_t index) const;
    bool following() const;
    Position positionAt(QPoint point) const;
    bool hasSelection() const { return anchor_.line >= 0 && anchor_ != cursor_; }
    void updateScrollRange();
    // Brings the scroll range up to the lines stored, and the view to the end if `follow`.
    void takeInNewLines(bool follow);

    LineStore lines_;
    // 0 until measured.
    mutable int charWidth_ = 0;
    mutable int lineHeight_ = 0;
    std::vector<VisibleLine> visible_;
    Position anchor_;
    Position cursor_;
};

} // namespace zr::ui
