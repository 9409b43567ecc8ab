#include "document/DocumentNames.h"

bool IsRichTextName(const QString& name)
{
    return name.size() >= 4 && name.right(4).toUpper() == QLatin1String(".RTF");
}

QString DocumentFileFilter()
{
    return QString::fromUtf8("文書ファイル(*.txt, *.rtf)|*.TXT;*.RTF|テキストファイル(*.txt)|*.TXT|"
                             "リッチテキストファイル(*.rtf)|*.RTF|すべてのファイル(*.*)|*.*");
}
