#pragma once
// The operations log's memo: text appended in place, always scrolled to its end.

#include <QPlainTextEdit>
#include <string_view>

namespace ob {

// Adds bytes at the end of the memo; CR LF starts a new paragraph.
void AppendToMemo(QPlainTextEdit& memo, std::string_view text);

// Caret at the end, nothing selected, the last line in view.
void ScrollMemoToEnd(QPlainTextEdit& memo);

} // namespace ob
