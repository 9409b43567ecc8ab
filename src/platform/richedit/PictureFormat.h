#pragma once
// The character format of a picture, and the format text takes beside one.
#include <QTextCharFormat>

// True for the format of a picture's object replacement character.
bool IsPictureFormat(const QTextCharFormat& format);
// format without what makes it a picture: its object type, image name and size, and
// the picture data the control keeps. Text typed or pasted beside a picture takes the
// picture's font and style, never the picture itself.
QTextCharFormat TextFormatOf(QTextCharFormat format);
