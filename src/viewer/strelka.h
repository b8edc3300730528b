#pragma once

#include "core/vidzhety.h"

#include <QColor>
#include <QIcon>
#include <QRectF>
#include <QWidget>

class QPainter;

// Arrow pictures of the document viewer's touch buttons. A line step is one arrow, a page
// step two arrows stacked; all are drawn, not loaded, so they scale to any button.
enum class VidStrelki { Verh, Vnis, StranicaVerh, StranicaNis };

// Draws the arrow centred in `oblast`, keeping its proportions.
void risovatStrelku(QPainter *p, const QRectF &oblast, VidStrelki vid, const QColor &cvet);

// The same arrow as an icon for ordinary push buttons.
QIcon ikonkaStrelki(VidStrelki vid, int razmer, const QColor &cvet = Qt::black);

// A clickable arrow picture lying over a button label: transparent around the arrow, grey
// while disabled.
class TStrelka : public QWidget {
    Q_OBJECT
public:
    TStrelka(VidStrelki vid, QWidget *parent = nullptr);
    VidStrelki vid() const { return m_vid; }

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    VidStrelki m_vid;
};
