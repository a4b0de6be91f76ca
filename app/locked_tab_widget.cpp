#include "app/locked_tab_widget.h"

#include <QKeyEvent>
#include <QProxyStyle>

namespace ob {

namespace {

bool IsUserInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
        return true;
    default:
        return false;
    }
}

bool IsPageSwitchKey(const QKeyEvent& key) {
    if (!(key.modifiers() & Qt::ControlModifier))
        return false;
    switch (key.key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return true;
    default:
        return false;
    }
}

// Gives the pages a client area the same margin inside the pane on every side, whatever the
// style's own frame, so the pages have the width the layout was drawn for; and keeps the
// padding of a tab small enough for its caption to fit the fixed tab width.
class PageMarginStyle : public QProxyStyle {
public:
    explicit PageMarginStyle(int margin) : margin(margin) {}

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (metric == PM_TabBarTabHSpace)
            return 2 * margin;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

    QRect subElementRect(SubElement element, const QStyleOption* option,
                         const QWidget* widget) const override {
        if (element != SE_TabWidgetTabContents)
            return QProxyStyle::subElementRect(element, option, widget);
        const QRect pane = QProxyStyle::subElementRect(SE_TabWidgetTabPane, option, widget);
        return pane.adjusted(margin, margin, -margin, -margin);
    }

private:
    int margin;
};

} // namespace

LockedTabBar::LockedTabBar(int tabWidth, QWidget* parent) : QTabBar(parent), tabWidth(tabWidth) {
    setFocusPolicy(Qt::NoFocus);
    setExpanding(false);
    setUsesScrollButtons(false);
    setDrawBase(true);
}

bool LockedTabBar::event(QEvent* event) {
    if (IsUserInput(event->type())) {
        event->accept();
        return true;
    }
    return QTabBar::event(event);
}

QSize LockedTabBar::tabSizeHint(int index) const {
    return {tabWidth, QTabBar::tabSizeHint(index).height()};
}

LockedTabWidget::LockedTabWidget(int tabWidth, int pageMargin, QWidget* parent)
    : QTabWidget(parent) {
    auto* bar = new LockedTabBar(tabWidth, this);
    auto* style = new PageMarginStyle(pageMargin);
    style->setParent(this);
    setStyle(style);
    bar->setStyle(style);
    bar->setElideMode(Qt::ElideNone);
    setTabBar(bar);
}

void LockedTabWidget::keyPressEvent(QKeyEvent* event) {
    if (IsPageSwitchKey(*event)) {
        event->accept();
        return;
    }
    QTabWidget::keyPressEvent(event);
}

} // namespace ob
