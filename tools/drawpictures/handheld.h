#pragma once

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QString>

class QPainter;

// The handheld player that recurs in the pictures: a wide rounded body, a screen with a play
// mark, a d-pad, an analogue nub and four face buttons.
struct THandheldLook
{
    QColor BodyTop;
    QColor BodyBottom;
    QColor Rim; // outline, keeps the body apart from a background of the same darkness
    QColor Controls; // d-pad, nub, face buttons
    bool Shadow = false;
};

THandheldLook DarkHandheld();
THandheldLook PinkHandheld();

// Draws the player into `body`, whose width should be about 2.3 times its height.
void DrawHandheld(QPainter &p, const QRectF &body, const THandheldLook &look);

// The application icon: a dark rounded tile with a pink handheld whose screen shows a play
// mark. Drawn at the size asked for rather than scaled, so small sizes stay sharp.
QImage AppIcon(int size);
// The same icon as an SVG document (a 256 x 256 view box).
QString AppIconSvg();
