#pragma once
// Telling the encoding of a plain-text file that has no byte-order mark and is not
// clearly UTF-8: each encoding it may be in decodes a sample, and the decoded texts are
// weighed by how likely each is in the languages written in that encoding.
#include "platform/text/LanguageModels.h"

#include <QByteArray>
#include <QList>

// What the desktop tells of the user: the language group of their locale, whose
// encodings are then a little likelier; -1 for none of them.
struct DetectionHints {
    int localeGroup = -1;
    static DetectionHints FromSystem();
};

struct EncodingGuess {
    // The encodings to read the file in, likeliest first.
    QList<QByteArray> ranked;
    // The likeliest one is not sure: another one, close behind, reads the sample as a
    // different text, or its text holds characters no language writes.
    bool unsure = false;
    // The next likeliest encodings that read the sample as different texts, for the user
    // to choose among when unsure; at most three.
    QList<QByteArray> alternatives;
};

// Weighs the candidates for bytes (no byte-order mark). A candidate that cannot read
// some bytes stays one, at the cost of each byte it cannot read.
EncodingGuess GuessEncoding(const QByteArray& bytes, const DetectionHints& hints);
