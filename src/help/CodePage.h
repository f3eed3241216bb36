#pragma once

#include <QByteArray>
#include <QString>

// Text in a Windows code page, as rich-text files carry it.
namespace CodePage {

// The symbol font's own "code page".
constexpr int Symbol = -2;

// Decodes bytes of the given code page (1252 when the page is unknown here).
QString decode(const QByteArray &bytes, int codePage);

} // namespace CodePage
