#pragma once
// The operations log's memo: text appended in place, always scrolled to its end.

#include <QPlainTextEdit>
#include <string_view>

namespace ob {

class LogMemo : public QPlainTextEdit {
public:
    explicit LogMemo(QWidget* parent);

    // Adds bytes at the end; CR LF starts a new line of the log.
    void append(std::string_view text);
    // Caret at the end, nothing selected, the last line in view.
    void scrollToEnd();

protected:
    QMimeData* createMimeDataFromSelection() const override;

private:
    QString joinedText(int from, int to) const;
};

} // namespace ob
