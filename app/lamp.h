#pragma once
// A lamp of the lamp strip (a circle shape): a filled circle in its idle or its lit colour.

#include <QColor>
#include <QWidget>

namespace ob {

class LampShape : public QWidget {
public:
    LampShape(QColor idle, QColor lit, QWidget* parent);

    void setLit(bool lit);
    bool isLit() const { return lit; }
    QColor color() const { return lit ? litColor : idleColor; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor idleColor;
    QColor litColor;
    bool lit = false;
};

} // namespace ob
