#include "app/time_stamp.h"
#include "window_fixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>
#include <string>
#include <vector>

namespace ob::testing {
namespace {

// The log after the loader's own lines: the part the test wrote.
class LogTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        before = window->logText().size();
    }
    std::string written() const { return window->logText().substr(before); }
    std::string stamp() const { return TimeStamp(window->localTime(), TimeSeparator(QLocale())); }
    QPlainTextEdit* memo() const { return find<QPlainTextEdit>("mmLog"); }

    std::size_t before = 0;
};

// Stamps are the clock's; "S" in the expectation stands for one, checked by its shape.
std::string WithStampsMasked(std::string text) {
    static const QRegularExpression stampShape("\\d\\d.\\d\\d.\\d\\d - ");
    return QString::fromLatin1(text.data(), qsizetype(text.size()))
        .replace(stampShape, "S - ")
        .toLatin1()
        .toStdString();
}

TEST_F(LogTest, MessagesFollowTheLineRules) {
    struct Case {
        std::vector<std::string> messages;
        std::string expected;
    };
    const Case cases[] = {
        {{"Prepared firmware."}, "Prepared firmware.\r\n"},
        {{"no stop"}, "no stop"},
        {{"part one ", "part two."}, "part one part two.\r\n"},
        {{"$Firmware upgrade was successful."}, "S - Firmware upgrade was successful.\r\n"},
        {{"$Contacting", "."}, "S - Contacting.\r\n"},
        {{"$"}, "S - "},
        {{"$."}, "S - .\r\n"},
        {{"$ -- sorry, there was a problem."}, "S -  -- sorry, there was a problem.\r\n"},
        {{""}, ""},
        {{". ", "RX=22."}, ". RX=22.\r\n"},
        {{"."}, ".\r\n"},
        {{"a$b.c"}, "a$b.c"},
        {{"x.", "$y", "z."}, "x.\r\nS - yz.\r\n"},
        {{std::string("\xe9t\xe9\x01.", 5)}, std::string("\xe9t\xe9\x01.\r\n", 7)},
    };
    for (const Case& c : cases) {
        const std::size_t start = window->logText().size();
        for (const std::string& message : c.messages)
            window->log(message);
        EXPECT_EQ(WithStampsMasked(window->logText().substr(start)), c.expected)
            << c.messages.front();
        window->log("."); // close any open line before the next case
    }
}

TEST_F(LogTest, StampIsTheLocalTimeOfDay) {
    const std::string expected = stamp();
    window->log("$x.");
    const std::string line = written();
    EXPECT_EQ(line.substr(0, 8), expected.substr(0, 8));
    EXPECT_EQ(line.substr(8), " - x.\r\n");
}

TEST(TimeStamp, UsesTheLocaleSeparatorOrAColon) {
    EXPECT_EQ(TimeStamp({9, 5, 7, 0}, ':'), "09:05:07");
    EXPECT_EQ(TimeStamp({23, 59, 0, 999}, '.'), "23.59.00");
    struct Case {
        const char* locale;
        char separator;
    };
    for (const Case& c : {Case{"en_US", ':'}, Case{"de_DE", ':'}, Case{"fi_FI", '.'},
                          Case{"da_DK", '.'}, Case{"C", ':'}})
        EXPECT_EQ(TimeSeparator(QLocale(c.locale)), c.separator) << c.locale;
}

TEST_F(LogTest, MemoShowsTheLogAsParagraphs) {
    window->log("first line.");
    window->log("second ");
    window->log("line.");
    const QStringList shown = memo()->toPlainText().split(u'\n');
    ASSERT_GE(shown.size(), 3);
    EXPECT_EQ(shown[shown.size() - 3], "first line.");
    EXPECT_EQ(shown[shown.size() - 2], "second line.");
    EXPECT_EQ(shown.last(), "");
}

// A noisy line traced byte by byte makes one line of the log that never ends; the memo must keep
// each append cheap and still give the user the log's own lines when copied.
TEST_F(LogTest, AnEndlessLineIsCopiedWholeWhileItsParagraphsStayShort) {
    window->log("first.");
    for (int i = 0; i < 2000; ++i)
        window->log("51:45:182 recv: " + std::to_string(i % 256) + " / ");
    window->log("endrec.");
    window->log("last.");

    int longest = 0;
    for (QTextBlock block = memo()->document()->begin(); block.isValid(); block = block.next())
        longest = std::max(longest, block.length());
    EXPECT_LT(longest, 1024);

    const QString log = QString::fromLatin1(window->logText()).replace("\r\n", "\n");
    memo()->selectAll();
    memo()->copy();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), log);

    // From inside "first." to inside "last.".
    QTextCursor part = memo()->document()->find("first.");
    part.setPosition(part.selectionStart() + 2);
    part.setPosition(memo()->document()->find("last.").selectionStart() + 3,
                     QTextCursor::KeepAnchor);
    memo()->setTextCursor(part);
    memo()->copy();
    const qsizetype from = log.indexOf("first.") + 2, to = log.indexOf("last.") + 3;
    EXPECT_EQ(QGuiApplication::clipboard()->text(), log.mid(from, to - from));
}

TEST_F(LogTest, EveryCallScrollsToTheEndEvenAfterTheUserScrolledUp) {
    window->selectPage(Page::Finished);
    QScrollBar* bar = memo()->verticalScrollBar();
    for (int i = 0; i < 200; ++i) {
        window->log("RX=" + std::to_string(i) + ".");
        ASSERT_EQ(bar->value(), bar->maximum()) << i;
    }
    ASSERT_GT(bar->maximum(), 0);
    for (const std::string message : {"$x", ""}) {
        bar->setValue(0);
        window->log(message);
        EXPECT_EQ(bar->value(), bar->maximum()) << message;
        EXPECT_EQ(memo()->textCursor().position(), memo()->document()->characterCount() - 1);
        EXPECT_FALSE(memo()->textCursor().hasSelection());
    }
}

TEST_F(LogTest, LinesLoggedOnAnEarlierPageAreInViewWhenTheLogShows) {
    for (int i = 0; i < 300; ++i)
        window->log("RX=" + std::to_string(i) + ".");
    window->selectPage(Page::Finished);
    QApplication::processEvents();
    QScrollBar* bar = memo()->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());
}

TEST_F(LogTest, UserCannotEditTheLog) {
    window->selectPage(Page::Finished);
    memo()->setFocus();
    const QString shown = memo()->toPlainText();
    QTest::keyClicks(memo(), "typed");
    QTest::keyClick(memo(), Qt::Key_Backspace);
    EXPECT_EQ(memo()->toPlainText(), shown);
}

} // namespace
} // namespace ob::testing
