#include "app/log_memo.h"

#include "app/caption_text.h"

#include <QScrollBar>
#include <QTextCursor>

namespace ob {

void AppendToMemo(QPlainTextEdit& memo, std::string_view text) {
    if (text.empty())
        return;
    QTextCursor end(memo.document());
    end.movePosition(QTextCursor::End);
    for (std::size_t start = 0;;) {
        const std::size_t lineEnd = text.find("\r\n", start);
        end.insertText(ToDisplay(text.substr(start, lineEnd - start)));
        if (lineEnd == std::string_view::npos)
            break;
        end.insertBlock();
        start = lineEnd + 2;
    }
}

void ScrollMemoToEnd(QPlainTextEdit& memo) {
    QTextCursor caret = memo.textCursor();
    caret.movePosition(QTextCursor::End);
    memo.setTextCursor(caret);
    memo.ensureCursorVisible();
    memo.verticalScrollBar()->setValue(memo.verticalScrollBar()->maximum());
}

} // namespace ob
