#pragma once
// A page control whose tabs only show where the wizard is: every page change the user
// starts (click, wheel, keyboard) is refused, while the program's own changes take effect.

#include <QTabBar>
#include <QTabWidget>

namespace ob {

class LockedTabBar : public QTabBar {
public:
    LockedTabBar(int tabWidth, QWidget* parent);

protected:
    bool event(QEvent* event) override;
    QSize tabSizeHint(int index) const override;

private:
    int tabWidth;
};

class LockedTabWidget : public QTabWidget {
public:
    LockedTabWidget(int tabWidth, int pageMargin, QWidget* parent);

    // The one way the program changes the page.
    void showPage(int index) { setCurrentIndex(index); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace ob
