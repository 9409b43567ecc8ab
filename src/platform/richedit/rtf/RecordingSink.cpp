#include "platform/richedit/rtf/RecordingSink.h"

#include <QStringList>

namespace rtf {

QString RecordingSink::Paragraph::Text() const
{
    QString text;
    for (const Run& run : runs)
        text += run.text;
    return text;
}

// Runs of one format that the reader handed on separately (its formatting state
// changed and changed back) are one run here: the record shows formatting, not calls.
void RecordingSink::Text(const QString& text, const RunFormat& format)
{
    if (!pending_.runs.isEmpty() && pending_.runs.last().format == format)
        pending_.runs.last().text += text;
    else
        pending_.runs.append(Run{text, format});
}

void RecordingSink::InsertPicture(const Picture& picture, const RunFormat& format)
{
    pictures_.append(picture);
    Text(QString(QChar::ObjectReplacementCharacter), format);
}

void RecordingSink::EndParagraph(const ParagraphFormat& format)
{
    pending_.format = format;
    paragraphs_.append(pending_);
    pending_ = Paragraph();
}

QString RecordingSink::PlainText() const
{
    QStringList lines;
    for (const Paragraph& paragraph : paragraphs_)
        lines.append(paragraph.Text());
    return lines.join(QLatin1Char('\n'));
}

QString DescribeRunFormat(const RunFormat& format)
{
    QStringList pieces;
    if (!format.family.isEmpty() || format.charset >= 0)
        pieces.append(QStringLiteral("%1/%2").arg(format.family).arg(format.charset));
    if (format.points > 0)
        pieces.append(QStringLiteral("%1pt").arg(format.points));
    if (format.bold)
        pieces.append(QStringLiteral("b"));
    if (format.italic)
        pieces.append(QStringLiteral("i"));
    if (format.underline)
        pieces.append(QStringLiteral("u"));
    if (format.strikeOut)
        pieces.append(QStringLiteral("s"));
    if (format.color.isValid())
        pieces.append(format.color.name());
    return pieces.isEmpty() ? QStringLiteral("default") : pieces.join(QLatin1Char(' '));
}

QString DescribeParagraphFormat(const ParagraphFormat& format)
{
    const QString alignment = format.alignment == Qt::AlignHCenter ? QStringLiteral("center")
                              : format.alignment == Qt::AlignRight ? QStringLiteral("right")
                                                                   : QStringLiteral("left");
    QString text = QStringLiteral("%1 first=%2 left=%3 right=%4")
                       .arg(alignment)
                       .arg(format.firstIndentTwips)
                       .arg(format.leftIndentTwips)
                       .arg(format.rightIndentTwips);
    if (format.bullet)
        text += QStringLiteral(" bullet");
    if (format.direction == Qt::RightToLeft)
        text += QStringLiteral(" rtl");
    return text;
}

QString RecordingSink::Dump() const
{
    QString dump;
    for (const Paragraph& paragraph : paragraphs_) {
        dump += QStringLiteral("\u00b6 ") + DescribeParagraphFormat(paragraph.format) + QLatin1Char('\n');
        for (const Run& run : paragraph.runs) {
            QString text = run.text;
            text.replace(QLatin1Char('\t'), QStringLiteral("\\t"));
            text.replace(QChar::LineSeparator, QStringLiteral("\\l"));
            dump += QStringLiteral("  \"%1\" %2\n").arg(text, DescribeRunFormat(run.format));
        }
    }
    return dump;
}

} // namespace rtf
