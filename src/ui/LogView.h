#pragma once

#include "ui/LineStore.h"

#include <QAbstractScrollArea>
#include <QString>
#include <string_view>
#include <vector>

namespace zr::ui {

// A read-only, append-only log of text lines that stays fast however long it grows: lines are
// kept packed (LineStore) and only the visible ones are laid out and painted. Long lines wrap at
// the view's width. Whole lines can be selected with the mouse or Ctrl+A and copied.
// While scrolled to the end, the view follows new lines.
class LogView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit LogView(QWidget* parent = nullptr);

    void appendLine(std::string_view line);
    void appendLine(const QString& line);

    std::size_t lineCount() const { return lines_.size(); }
    QString line(std::size_t index) const;
    const LineStore& store() const { return lines_; }

    // The selected lines joined by newlines; empty without a selection.
    QString selectedText() const;
    void selectAll();
    void copy() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct VisibleLine {
        std::size_t index;
        int top;
        int height;
    };
    int charsPerRow() const;
    int rowsOf(std::size_t index) const;
    bool following() const;
    std::size_t lineAt(int y) const;
    void updateScrollRange();

    LineStore lines_;
    int charWidth_ = 1;
    int lineHeight_ = 1;
    std::vector<VisibleLine> visible_;
    std::ptrdiff_t anchor_ = -1;
    std::ptrdiff_t cursor_ = -1;
};

} // namespace zr::ui
