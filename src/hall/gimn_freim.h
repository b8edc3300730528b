#pragma once

#include <QImage>
#include <QWidget>

// The anthem screen's picture: the assembly's coat of arms between the national and the
// regional flag, drawn once at its stored size (1366 x 768) and stretched over the screen.
QImage kartinkaGimna();

class TGimnKartinka : public QWidget {
    Q_OBJECT
public:
    explicit TGimnKartinka(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

// The anthem screen inside the window's anthem frame: a sky blue panel with its caption,
// covered by the picture.
void sozdatGimnFreim(QWidget *GimnFreim);
