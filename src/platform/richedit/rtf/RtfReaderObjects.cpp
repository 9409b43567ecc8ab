// The reader's pictures, shapes and fields: what stands in the text in place of an
// object, and what of the object is not kept.
#include "platform/richedit/rtf/RtfReader.h"

namespace rtf {

bool Reader::InsertPicture(const Picture& picture)
{
    const bool formulas = formulaPicture_ == FormulaPicture::Awaiting;
    // Like text, a picture is not shown in hidden text and comes after a cell's tab.
    if (!PrepareRun())
        return false;
    FlushRun();
    sink_.InsertPicture(picture, ResolveRun(Top().chars));
    if (formulas)
        formulaPicture_ = FormulaPicture::Shown;
    return true;
}

// A shape that is a picture leaves its picture where it was anchored; what else a
// shape is (its position, wrapping, lines and fills) is not kept.
void Reader::EndShape()
{
    ShapeParser::Result shape = shapes_.Finish();
    if (shape.hasText || !shape.picture)
        NoteUnkept(Unkept::DrawingObjects);
    if (shape.picture && InsertPicture(*shape.picture))
        NoteUnkept(Unkept::PictureAnchoring);
}

// A SHAPE field only wraps the shape that is its result: its instruction says nothing
// that the shape does not. Any other field's instruction is lost.
void Reader::EndFieldInstruction()
{
    const QByteArray instruction = fieldInstruction_.simplified();
    const qsizetype space = instruction.indexOf(' ');
    if (instruction.left(space < 0 ? instruction.size() : space).toUpper() != "SHAPE")
        NoteUnkept(Unkept::FieldInstructions);
}

} // namespace rtf
