#pragma once
// Building blocks for the window's controls: fonts, colours, labels, panels, memos,
// and captions kept as the byte strings the program sets.

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStringList>
#include <string>
#include <string_view>

namespace ob {

namespace colors {
inline const QColor Black{0, 0, 0};
inline const QColor White{255, 255, 255};
inline const QColor Red{255, 0, 0};
inline const QColor Maroon{128, 0, 0};
inline const QColor Blue{0, 0, 255};
inline const QColor Navy{0, 0, 128};
inline const QColor Green{0, 128, 0};
inline const QColor Lime{0, 255, 0};
inline const QColor Aqua{0, 255, 255};
} // namespace colors

// Fonts by name and character height in pixels; the system substitutes what it lacks.
QFont SansSerifFont(int pixels);
QFont ArialFont(int pixels);
QFont Bold(QFont font);
QFont BoldItalic(QFont font);

// Asks for metric-compatible faces first when the named ones are missing.
void PreferMetricCompatibleFonts();

void SetBackground(QWidget& control, const QColor& color);
void SetTextColor(QWidget& control, const QColor& color);

// A label that takes the size its caption needs, at `place` in its parent.
QLabel* MakeLabel(QWidget* parent, const char* name, QPoint place, std::string_view caption);
// A label of fixed size: a new caption does not resize it.
QLabel* MakeFixedLabel(QWidget* parent, const char* name, QRect place, std::string_view caption);
// A raised panel showing its caption centred; its place comes from a layout or the caller.
QLabel* MakePanel(QWidget* parent, const char* name);

QPlainTextEdit* MakeMemo(QWidget* parent, const char* name, const QStringList& lines);
// Gives a memo made elsewhere the name, text and margin of MakeMemo's.
void SetUpMemo(QPlainTextEdit& memo, const char* name, const QStringList& lines);

// The caption of a label, panel, button or group box, as the bytes last set.
void SetCaption(QWidget& control, std::string_view caption);
std::string CaptionOf(const QWidget& control);

} // namespace ob
