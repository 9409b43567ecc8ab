#pragma once
// The reason the system gives for a failure, made a sentence of its own for a message.
#include <QString>

// Qt's texts, and their translations, end without a full stop, and another sentence may
// follow in the message; this adds one. A reason that ends in a character of a script
// written without spaces gets the ideographic full stop; an empty one becomes
// "Unknown error.".
QString ReasonSentence(const QString& systemReason);
