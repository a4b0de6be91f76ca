#include "app/log_memo.h"

#include "app/caption_text.h"

#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

namespace ob {

namespace {

// Every append lays out its whole paragraph again, so a line that keeps growing (bytes of a noisy
// line traced one by one) would make each append slower than the line's bytes arrive. Past this
// length a line goes on in a paragraph of its own, marked so that copying joins them again.
constexpr int ParagraphLimit = 512;
constexpr int ContinuesLine = 1;

} // namespace

LogMemo::LogMemo(QWidget* parent) : QPlainTextEdit(parent) {}

void LogMemo::append(std::string_view text) {
    if (text.empty())
        return;
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    if (end.block().length() > ParagraphLimit) {
        end.insertBlock();
        end.block().setUserState(ContinuesLine);
    }
    for (std::size_t start = 0;;) {
        const std::size_t lineEnd = text.find("\r\n", start);
        end.insertText(ToDisplay(text.substr(start, lineEnd - start)));
        if (lineEnd == std::string_view::npos)
            break;
        end.insertBlock();
        end.block().setUserState(-1);
        start = lineEnd + 2;
    }
}

void LogMemo::scrollToEnd() {
    QTextCursor caret = textCursor();
    caret.movePosition(QTextCursor::End);
    setTextCursor(caret);
    ensureCursorVisible();
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

QMimeData* LogMemo::createMimeDataFromSelection() const {
    auto* data = new QMimeData;
    const QTextCursor selection = textCursor();
    data->setText(joinedText(selection.selectionStart(), selection.selectionEnd()));
    return data;
}

// The characters from `from` to `to`, a line break only where a line of the log ends.
QString LogMemo::joinedText(int from, int to) const {
    QString text;
    for (QTextBlock block = document()->findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        if (block.position() > from && block.userState() != ContinuesLine)
            text += u'\n';
        const int start = std::max(from, block.position()) - block.position();
        const int end = std::min(to, block.position() + block.length() - 1) - block.position();
        text += block.text().mid(start, end - start);
    }
    return text;
}

} // namespace ob
