#pragma once

#include <QLabel>
#include <QPixmap>

// The assembly's coat of arms, drawn at any size (no picture file ships with the program).
QPixmap risovatGerb(const QSize &size);

// A label that shows the coat of arms centred and scaled proportionally to its own size.
class GerbLeibl : public QLabel {
    Q_OBJECT
public:
    explicit GerbLeibl(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
