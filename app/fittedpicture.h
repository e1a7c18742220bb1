#pragma once
// A picture shown in a label at the size of the label's place, aspect kept,
// and scaled again whenever the label is resized: the picture never asks the
// layout for room of its own, so showing it shifts nothing around it.

class QLabel;
class QPixmap;

void showFittedPicture(QLabel* label, const QPixmap& picture);
