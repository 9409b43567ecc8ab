#pragma once
// Classic dialog layouts made of Qt layouts. Each is seeded with the sizes its dialog was
// designed at and grows where the installed fonts need more room, so that no caption is
// cut off or touches its box.
#include <QSize>
#include <utility>
#include <vector>

class QDialog;
class QFrame;
class QWidget;

// Space between a caption and its box, and between rows and columns of controls.
constexpr int kControlSpacing = 8;

// Rows of a caption and its box inside a frame: the captions left-aligned in one column,
// the boxes in the next, each box at least boxWidth wide, the rows centred in a frame
// of at least frameSize.
void LayOutCaptionRows(QFrame* frame, const std::vector<std::pair<QWidget*, QWidget*>>& rows,
                       QSize frameSize, int boxWidth);

// The dialog's body at the left and its buttons in a column at the top right, each button
// at least buttonSize. The dialog takes the size its contents need and keeps it.
void LayOutBodyAndButtonColumn(QDialog* dialog, QWidget* body, const std::vector<QWidget*>& buttons,
                               QSize buttonSize);
