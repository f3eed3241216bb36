#pragma once

#include <QByteArray>

class QTextDocument;

// Fills a text document from a rich-text (RTF) file's bytes: paragraphs with
// their alignment, indents and spacing, and runs with their font, size,
// bold, italics, underline, strike-through and colours. Anything that is not
// RTF is shown as plain text. Whatever the bytes hold, this returns in time
// proportional to their length and never recurses with the nesting.
namespace RichText {

void load(const QByteArray &data, QTextDocument &document);

} // namespace RichText
