#include "app/controls.h"

#include "app/caption_text.h"

#include <QAbstractButton>
#include <QEvent>
#include <QGroupBox>

namespace ob {

namespace {

constexpr const char* CaptionProperty = "caption";
constexpr const char* AutoSizeProperty = "autoSize";

// A label sized to its caption, also when it takes another font (set, or inherited on joining
// the window).
class AutoSizeLabel : public QLabel {
public:
    explicit AutoSizeLabel(QWidget* parent) : QLabel(parent) {}

protected:
    void changeEvent(QEvent* event) override {
        QLabel::changeEvent(event);
        if (event->type() == QEvent::FontChange)
            adjustSize();
    }
};

QFont FontNamed(const char* family, int pixels) {
    QFont font(QString::fromLatin1(family));
    font.setPixelSize(pixels);
    return font;
}

} // namespace

QFont SansSerifFont(int pixels) {
    return FontNamed("MS Sans Serif", pixels);
}

QFont ArialFont(int pixels) {
    return FontNamed("Arial", pixels);
}

QFont Bold(QFont font) {
    font.setBold(true);
    return font;
}

QFont BoldItalic(QFont font) {
    font.setBold(true);
    font.setItalic(true);
    return font;
}

void PreferMetricCompatibleFonts() {
    const QStringList arialLike{"Liberation Sans", "Arimo", "Nimbus Sans", "Helvetica"};
    QFont::insertSubstitutions("Arial", arialLike);
    QFont::insertSubstitutions("MS Sans Serif", arialLike);
}

void SetBackground(QWidget& control, const QColor& color) {
    QPalette palette = control.palette();
    palette.setColor(QPalette::Window, color);
    control.setPalette(palette);
    control.setAutoFillBackground(true);
}

void SetTextColor(QWidget& control, const QColor& color) {
    QPalette palette = control.palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    control.setPalette(palette);
}

QLabel* MakeLabel(QWidget* parent, const char* name, QPoint place, std::string_view caption) {
    auto* label = new AutoSizeLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setProperty(AutoSizeProperty, true);
    label->move(place);
    SetCaption(*label, caption);
    return label;
}

QLabel* MakeFixedLabel(QWidget* parent, const char* name, QRect place, std::string_view caption) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(place);
    SetCaption(*label, caption);
    return label;
}

QLabel* MakePanel(QWidget* parent, const char* name) {
    auto* panel = new QLabel(parent);
    panel->setObjectName(name);
    panel->setTextFormat(Qt::PlainText);
    panel->setAlignment(Qt::AlignCenter);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(1);
    panel->setAutoFillBackground(true);
    return panel;
}

QPlainTextEdit* MakeMemo(QWidget* parent, const char* name, const QStringList& lines) {
    auto* memo = new QPlainTextEdit(parent);
    SetUpMemo(*memo, name, lines);
    return memo;
}

void SetUpMemo(QPlainTextEdit& memo, const char* name, const QStringList& lines) {
    memo.setObjectName(name);
    memo.setPlainText(lines.join(u'\n'));
    memo.document()->setDocumentMargin(2);
}

void SetCaption(QWidget& control, std::string_view caption) {
    const QString text = ToDisplay(caption);
    control.setProperty(CaptionProperty, QByteArray(caption.data(), qsizetype(caption.size())));
    if (auto* label = qobject_cast<QLabel*>(&control)) {
        label->setText(WithoutAccelerators(text));
        if (label->property(AutoSizeProperty).toBool())
            label->adjustSize();
    } else if (auto* button = qobject_cast<QAbstractButton*>(&control)) {
        button->setText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(&control)) {
        group->setTitle(text);
    }
}

std::string CaptionOf(const QWidget& control) {
    const QByteArray caption = control.property(CaptionProperty).toByteArray();
    return {caption.constData(), std::size_t(caption.size())};
}

} // namespace ob
